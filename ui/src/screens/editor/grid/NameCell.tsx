// The name field of a row, styled by the line's format. Line rows get the field with name
// suggestions; it takes the keys it needs itself (arrows and Escape in an open list, Tab for
// an inline completion) and calls preventDefault on them, and the grid then leaves that key
// alone. Enter applies a suggestion and then goes on to the grid.

import type { ClipboardEvent, CSSProperties, KeyboardEvent, ReactNode } from 'react';
import type { EstimateLine } from '../../../model/types';
import type { CatalogItem } from '../../../suggestions/catalogItem';
import { NameField } from '../suggestions/NameField';

export interface NameCellProps {
  line: EstimateLine;
  row: number;
  section: boolean;
  onChange: (name: string) => void;
  /** A suggestion was chosen: the line is filled from the item. */
  onChoose: (item: CatalogItem) => void;
  /** The grid's keys (Enter moves on); skipped when the event is already prevented. */
  onKeyDown: (e: KeyboardEvent<HTMLInputElement>) => void;
  onFocus: () => void;
  onPaste?: (e: ClipboardEvent<HTMLInputElement>) => void;
  style?: CSSProperties;
  label: string;
}

/**
 * A field shows one line; a long name is shown whole, wrapped, by the copy of its text that
 * lies under the field (and sizes the row) while the field is not being edited, and on paper.
 */
function Wrapped({ text, style, children }: { text: string; style?: CSSProperties; children: ReactNode }) {
  return (
    <span className="name-wrap" data-text={text} style={style}>
      {children}
    </span>
  );
}

export function NameCell(props: NameCellProps) {
  const { fontFamily, fontSize, fontWeight, fontStyle, textAlign } = props.style ?? {};
  return (
    <Wrapped text={props.line.name} style={{ fontFamily, fontSize, fontWeight, fontStyle, textAlign }}>
      <NameInput {...props} />
    </Wrapped>
  );
}

function NameInput({ line, row, section, onChange, onChoose, onKeyDown, onFocus, onPaste, style, label }: NameCellProps) {
  if (!section) {
    const align = style?.textAlign === 'center' || style?.textAlign === 'right' ? style.textAlign : 'left';
    return (
      <NameField
        className="cell-input name-input"
        placeholder="Наименование"
        aria-label={label}
        data-testid="name-cell"
        cell={`${row}:0`}
        style={style}
        align={align}
        value={line.name}
        onType={onChange}
        onChoose={onChoose}
        onKeyDown={onKeyDown}
        onFocus={onFocus}
        onPaste={onPaste}
      />
    );
  }
  return (
    <input
      className="cell-input name-input"
      autoComplete="off"
      spellCheck={false}
      placeholder="Название раздела"
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
