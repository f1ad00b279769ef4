// A number field of the side panels: keeps the text as typed while it has focus (so "2," or
// "-" can be typed on the way to a number), reads a comma as the decimal point, ignores
// keystrokes that would make anything but a number, and stores 0 when emptied.

import { memo, useState, type InputHTMLAttributes } from 'react';
import { plainNumber } from '../../../numbers/numberText';

const NUMBER_TEXT = /^-?\d*[.,]?\d*$/;

/** The number a field's text stores: empty, "-" or anything unreadable is 0. */
export function numberFromText(text: string): number {
  const n = Number(text.replace(',', '.'));
  return /\d/.test(text) && Number.isFinite(n) ? n : 0;
}

export interface NumberFieldProps extends Omit<InputHTMLAttributes<HTMLInputElement>, 'value' | 'onChange'> {
  value: number;
  onValue: (value: number) => void;
}

export const NumberField = memo(function NumberField({ value, onValue, onFocus, onBlur, className, ...rest }: NumberFieldProps) {
  const [text, setText] = useState<string | null>(null);
  // While focused the typed text is shown unless the value was changed from elsewhere (undo).
  const shown = text !== null && numberFromText(text) === value ? text : plainNumber(value);
  return (
    <input
      {...rest}
      className={className ?? 'input num-field'}
      inputMode="decimal"
      value={shown}
      onFocus={(e) => {
        setText(plainNumber(value));
        onFocus?.(e);
      }}
      onBlur={(e) => {
        setText(null);
        onBlur?.(e);
      }}
      onChange={(e) => {
        const next = e.target.value;
        if (!NUMBER_TEXT.test(next)) return;
        setText(next);
        const n = numberFromText(next);
        if (n !== value) onValue(n);
      }}
    />
  );
});
