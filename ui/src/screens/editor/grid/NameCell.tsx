// The name field of a row: a plain input styled by the line's format. Name suggestions wrap
// it; a wrapper that takes a key itself (Enter to apply a suggestion, Tab to accept a
// completion) calls preventDefault, and the grid then leaves that key alone.

import type { ClipboardEvent, CSSProperties, KeyboardEvent } from 'react';
import type { EstimateLine } from '../../../model/types';

export interface NameCellProps {
  line: EstimateLine;
  row: number;
  section: boolean;
  onChange: (name: string) => void;
  /** The grid's keys (Enter moves on); skipped when the event is already prevented. */
  onKeyDown: (e: KeyboardEvent<HTMLInputElement>) => void;
  onFocus: () => void;
  onPaste?: (e: ClipboardEvent<HTMLInputElement>) => void;
  style?: CSSProperties;
  label: string;
}

export function NameCell({ line, row, section, onChange, onKeyDown, onFocus, onPaste, style, label }: NameCellProps) {
  return (
    <input
      className="cell-input name-input"
      autoComplete="off"
      spellCheck={false}
      placeholder={section ? 'Название раздела' : 'Наименование'}
      aria-label={label}
      data-cell={`${row}:0`}
      data-testid="name-cell"
      style={style}
      value={line.name}
      onChange={(e) => onChange(e.target.value)}
      onKeyDown={onKeyDown}
      onFocus={onFocus}
      onPaste={onPaste}
    />
  );
}
