// The unit column of a row. The full unit field (with its list) is drawn only in the row that
// has the keyboard; other rows show a plain field of the same look, which hands over to the
// full one as soon as it takes the focus. A long estimate opens much faster so.

import type { ClipboardEvent, KeyboardEvent } from 'react';
import { UnitField } from '../../../components/UnitField';

export interface UnitCellProps {
  value: string;
  active: boolean;
  onChange: (value: string) => void;
  onKeyDown: (e: KeyboardEvent<HTMLInputElement>) => void;
  onFocus: () => void;
  onPaste: (e: ClipboardEvent<HTMLInputElement>) => void;
  /** The plain field took the focus: the row becomes active and the full field takes over. */
  onHandOver: () => void;
}

export function UnitCell({ value, active, onChange, onKeyDown, onFocus, onPaste, onHandOver }: UnitCellProps) {
  if (active) return <UnitField className="cell-input" value={value} onChange={onChange} onKeyDown={onKeyDown} onFocus={onFocus} onPaste={onPaste} />;
  return (
    <input
      className="cell-input"
      value={value}
      title="Единица измерения"
      aria-label="Единица измерения"
      autoComplete="off"
      data-testid="unit-field"
      onChange={(e) => onChange(e.target.value)}
      onFocus={onHandOver}
      onPaste={onPaste}
    />
  );
}
