// The markup formula field: shows the stored formula with Russian variable names and stores
// exactly what the user types. While the user types, the text stays as typed.

import { memo, useId, useState } from 'react';
import { markupForDisplay } from '../../../totals/markupDisplay';

export const MARKUP_PLACEHOLDER = 'например: (работы + доп) * 0.1';
export const MARKUP_HINT = 'Доступны: работы, материалы, техника, доставка, доп, аванс';
export const MARKUP_ERROR_PREFIX = 'Ошибка формулы: ';

export interface MarkupFieldProps {
  formula: string | null;
  error: string;
  onChange: (formula: string) => void;
}

export const MarkupField = memo(function MarkupField({ formula, error, onChange }: MarkupFieldProps) {
  const id = useId();
  // What this field last stored while it has focus; any other stored text (undo, another
  // estimate) is shown anew in its Russian form.
  const [typed, setTyped] = useState<string | null>(null);
  const shown = typed !== null && typed === (formula ?? '') ? typed : markupForDisplay(formula);

  return (
    <div className="totals-markup">
      <label htmlFor={id} className="totals-caption">
        Наценка (формула)
      </label>
      <input
        id={id}
        className="input"
        data-testid="markup-field"
        placeholder={MARKUP_PLACEHOLDER}
        spellCheck={false}
        autoComplete="off"
        value={shown}
        onChange={(e) => {
          setTyped(e.target.value);
          onChange(e.target.value);
        }}
        onBlur={() => setTyped(null)}
      />
      <p className="totals-hint">{MARKUP_HINT}</p>
      {error && (
        <p className="totals-error" role="alert" data-testid="markup-error">
          {MARKUP_ERROR_PREFIX}
          {error}
        </p>
      )}
    </div>
  );
});
