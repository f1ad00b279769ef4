// A number cell: typing is taken character by character (a comma is a point; anything that
// would not be a number being typed is ignored) and kept as typed while the cell has focus.

import { useState, type ClipboardEvent, type KeyboardEvent } from 'react';
import { isNumberText, numberDisplay, numberOfText, typedNumberText } from '../../../grid/numberText';
import { withinNumberLimit } from '../../../numbers/numberText';

/** Said when a typed or pasted figure is beyond what a cell takes; the cell keeps its value. */
export const NUMBER_TOO_LARGE = 'Не больше 1 000 000 000 000';
/** A pasted block whose figures beyond the limit were left out. */
export const pasteRefusedText = (cells: number): string =>
  `Числа больше 1 000 000 000 000 по модулю не вставлены (ячеек: ${cells}), в этих ячейках прежние значения.`;

export interface NumberCellProps {
  value: number | null | undefined;
  /** The number the text reads as; undefined while it holds no digit. */
  onValue: (value: number | undefined) => void;
  label: string;
  cell?: string;
  onFocus?: () => void;
  onKeyDown?: (e: KeyboardEvent<HTMLInputElement>) => void;
  onPaste?: (e: ClipboardEvent<HTMLInputElement>) => void;
}

const same = (a: number | null | undefined, b: number | null | undefined) => (a ?? null) === (b ?? null);

export function NumberCell({ value, onValue, label, cell, onFocus, onKeyDown, onPaste }: NumberCellProps) {
  // While focused: the text as typed and the value it gave. A value that changes from outside
  // (undo, fill down) replaces the typed text.
  const [typed, setTyped] = useState<{ text: string; value: number | undefined } | null>(null);
  const [refused, setRefused] = useState(false);
  const text = typed && same(typed.value, value) ? typed.text : numberDisplay(value);

  return (
    <>
      <input
        className="cell-input num"
        inputMode="decimal"
        autoComplete="off"
        aria-label={label}
        data-cell={cell}
        value={text}
        onFocus={() => {
          setTyped({ text: numberDisplay(value), value: value ?? undefined });
          onFocus?.();
        }}
        aria-invalid={refused || undefined}
        onBlur={() => {
          setTyped(null);
          setRefused(false);
        }}
        onChange={(e) => {
          const next = typedNumberText(e.target.value);
          if (!isNumberText(next)) return;
          const n = numberOfText(next);
          // A figure beyond reason (99999999999999999999) is a slip: the cell keeps its value.
          if (n !== undefined && !withinNumberLimit(n)) return setRefused(true);
          setRefused(false);
          setTyped({ text: next, value: n });
          if (!same(n, value)) onValue(n);
        }}
        onKeyDown={onKeyDown}
        onPaste={onPaste}
      />
      {refused && (
        <span className="cell-note" role="alert">
          {NUMBER_TOO_LARGE}
        </span>
      )}
    </>
  );
}
