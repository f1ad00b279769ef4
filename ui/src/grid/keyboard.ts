// The grid's keyboard model: pure functions from the grid state and a key to the next state
// and what the screen must do. The screen only maps DOM events onto these.

/** Cell columns: 0 name, 1 unit, 2 quantity, 3 price, 4 sum. */
export type CellCol = 0 | 1 | 2 | 3 | 4;

export interface GridFocus {
  row: number;
  col: CellCol;
  editing: boolean;
}

export const INITIAL_FOCUS: GridFocus = { row: 0, col: 0, editing: false };

/** The cells a line type edits, in the order Enter and the arrows move through them. */
export function editableCols(lineType: string | null | undefined): readonly CellCol[] {
  switch (lineType) {
    case 'section':
      return [0];
    case 'fixed':
      return [0, 4];
    case 'quantity_only':
      return [0, 1, 2];
    default:
      return [0, 1, 2, 3];
  }
}

export interface GridShape {
  /** Line type of each row. */
  types: readonly string[];
  /** Rows hidden by the category filter; navigation passes over them. */
  hidden?: (row: number) => boolean;
}

/** The nearest column of the row's type to the wanted one (a row may not have it). */
function colIn(lineType: string, col: CellCol): CellCol {
  const cols = editableCols(lineType);
  if (cols.includes(col)) return col;
  let best = cols[0];
  for (const c of cols) if (c <= col) best = c;
  return best;
}

function nextVisibleRow(shape: GridShape, from: number, step: 1 | -1): number | null {
  for (let r = from + step; r >= 0 && r < shape.types.length; r += step) {
    if (!shape.hidden?.(r)) return r;
  }
  return null;
}

export type NavKey = 'ArrowUp' | 'ArrowDown' | 'ArrowLeft' | 'ArrowRight' | 'Enter' | 'F2';

export interface KeyResult {
  focus: GridFocus;
  /** Put the keyboard into the focused cell's field and select its text. */
  edit: boolean;
}

/**
 * A navigation key pressed outside any field. F2 and Enter start editing the focused cell;
 * arrows move (not past the ends, over hidden rows) and put the keyboard into the new cell.
 * Null: the key is not the grid's.
 */
export function navigationKey(focus: GridFocus, key: string, shape: GridShape): KeyResult | null {
  const rows = shape.types.length;
  if (rows === 0) return null;
  const row = Math.min(Math.max(focus.row, 0), rows - 1);
  const type = shape.types[row];
  const col = colIn(type, focus.col);
  switch (key) {
    case 'F2':
    case 'Enter':
      if (focus.editing) return null;
      return { focus: { row, col, editing: true }, edit: true };
    case 'ArrowDown':
    case 'ArrowUp': {
      if (focus.editing) return null;
      const next = nextVisibleRow(shape, row, key === 'ArrowDown' ? 1 : -1);
      const r = next ?? row;
      return { focus: { row: r, col: colIn(shape.types[r], focus.col), editing: true }, edit: true };
    }
    case 'ArrowRight':
    case 'ArrowLeft': {
      if (focus.editing) return null;
      const cols = editableCols(type);
      const i = cols.indexOf(col);
      const j = key === 'ArrowRight' ? Math.min(i + 1, cols.length - 1) : Math.max(i - 1, 0);
      return { focus: { row, col: cols[j], editing: true }, edit: true };
    }
    default:
      return null;
  }
}

export interface EnterResult {
  focus: GridFocus;
  /** The move leaves the row: it is registered in the name memory first. */
  leavesRow: boolean;
  /** A new empty line is appended first (Enter after the last row). */
  append: boolean;
}

/**
 * Enter inside a cell's field: on to the next editable cell of the row, after the last one
 * to the name of the next shown row; after the last row a new line is appended.
 */
export function enterInCell(row: number, col: CellCol, shape: GridShape): EnterResult {
  const cols = editableCols(shape.types[row]);
  const i = cols.indexOf(col);
  if (i >= 0 && i < cols.length - 1) return { focus: { row, col: cols[i + 1], editing: true }, leavesRow: false, append: false };
  const next = nextVisibleRow(shape, row, 1);
  if (next !== null) return { focus: { row: next, col: 0, editing: true }, leavesRow: true, append: false };
  return { focus: { row: shape.types.length, col: 0, editing: true }, leavesRow: true, append: true };
}

/** The focus after row `removed` is deleted: the row taking its place, or the one above. */
export function focusAfterRemove(focus: GridFocus, removed: number, rowsAfter: number): GridFocus {
  if (rowsAfter <= 0) return { row: 0, col: 0, editing: false };
  if (focus.row > removed) return { ...focus, row: focus.row - 1 };
  if (focus.row < removed) return focus;
  return { row: Math.min(removed, rowsAfter - 1), col: 0, editing: false };
}

export type EditorCommand = 'save' | 'undo' | 'redo' | 'find' | 'duplicate' | 'copy' | 'bold' | 'fillDown';

export interface KeyChord {
  key: string;
  code?: string;
  ctrlKey: boolean;
  metaKey: boolean;
  shiftKey: boolean;
  altKey: boolean;
  isComposing?: boolean;
}

/** The physical key's letter (so Ctrl+Я works as Ctrl+Z), else the produced character. */
function letterOf(e: KeyChord): string {
  if (e.code && /^Key[A-Z]$/.test(e.code)) return e.code.slice(3).toLowerCase();
  return e.key.toLowerCase();
}

/** The editor's window-wide keys; the Command key counts as Ctrl. Composition keys never act. */
export function editorCommand(e: KeyChord): EditorCommand | null {
  if (e.isComposing || e.key === 'Process') return null;
  if (!(e.ctrlKey || e.metaKey) || e.altKey) return null;
  switch (letterOf(e)) {
    case 's':
      return e.shiftKey ? null : 'save';
    case 'z':
      return e.shiftKey ? 'redo' : 'undo';
    case 'y':
      return e.shiftKey ? null : 'redo';
    case 'f':
      return e.shiftKey ? null : 'find';
    case 'd':
      return e.shiftKey ? 'duplicate' : 'fillDown';
    case 'c':
      return e.shiftKey ? null : 'copy';
    case 'b':
      return e.shiftKey ? null : 'bold';
    default:
      return null;
  }
}
