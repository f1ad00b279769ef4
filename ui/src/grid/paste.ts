// What a paste into the grid does: one copied value goes into the cell as if typed; a block of
// cells (from a spreadsheet or our own row copy) fills the grid from the focused cell, the way
// a spreadsheet pastes, and rows beyond the last line become new lines.

import { guessCategory } from '../category/category';
import { isBlankName, newEmptyLine, renumber, type EstimateLine } from '../model/types';
import { withinNumberLimit } from '../numbers/numberText';
import type { CellCol } from './keyboard';
import { parseTsv, readPastedNumber } from './tsv';

const LINE_TYPES = ['full', 'quantity_only', 'fixed', 'section'];
const CATEGORIES = ['work', 'material', 'equipment'];

/**
 * The one value of a clipboard text that holds no tab and at most one line end at its very end
 * ("1500\r\n" is how a spreadsheet copies one cell); null for a block of cells.
 */
export function singlePastedValue(clipboard: string): string | null {
  const value = clipboard.replace(/\r?\n$|\r$/, '');
  return /[\t\r\n]/.test(value) ? null : value;
}

/** A pasted number the cells take; one beyond the limit is a slip, left out like a text that is no number. */
function cellNumber(text: string): number | undefined {
  const n = readPastedNumber(text);
  return n !== undefined && withinNumberLimit(n) ? n : undefined;
}

/**
 * The text a single value puts into a cell: numbers as the number cells take them (1 500,50 →
 * 1500.5). A figure beyond the limit goes in as copied, so the cell refuses it and says why.
 */
export function pastedCellText(value: string, col: CellCol): string {
  if (col === 0 || col === 1) return value;
  const n = cellNumber(value);
  return n === undefined ? value : String(n);
}

/** Pasted field positions, counted from the name: name, unit, quantity, price, sum, category, type. */
type Field = 0 | 1 | 2 | 3 | 4 | 5 | 6;

/** False when the pasted figure was beyond the limit and the cell kept its value. */
function setNumber(line: EstimateLine, key: 'quantity' | 'unit_price' | 'fixed_total', text: string): boolean {
  if (text.trim() === '') {
    delete line[key];
    return true;
  }
  const n = readPastedNumber(text);
  // A text that is no number, or a figure beyond the limit, leaves the cell as it was.
  if (n !== undefined && withinNumberLimit(n)) line[key] = n;
  return n === undefined || withinNumberLimit(n);
}

/** False when a number cell refused its figure. */
function applyField(line: EstimateLine, field: Field, text: string): boolean {
  switch (field) {
    case 0:
      if (line.name !== text) {
        line.name = text;
        delete line.catalog_item_id;
        line.category = guessCategory(text);
      }
      return true;
    case 1:
      line.unit = line.line_type === 'fixed' && text.trim() === '' ? null : text;
      return true;
    case 2:
      return setNumber(line, 'quantity', text);
    case 3:
      return setNumber(line, 'unit_price', text);
    case 4:
      // The sum of a priced line is computed from its quantity and price; only a fixed sum takes it.
      return line.line_type !== 'fixed' || setNumber(line, 'fixed_total', text);
    case 5:
      if (CATEGORIES.includes(text)) line.category = text;
      return true;
    case 6:
      if (LINE_TYPES.includes(text)) line.line_type = text;
      return true;
  }
}

/** A pasted row of a block wider than one column that carries only a name: a section heading. */
function isHeadingRow(fields: readonly string[], fromName: boolean, width: number): boolean {
  return fromName && width > 1 && fields[0].trim() !== '' && fields.slice(1).every((f) => f.trim() === '');
}

function asSection(line: EstimateLine): EstimateLine {
  const out: EstimateLine = { ...line, line_type: 'section', unit: '', category: 'work' };
  delete out.quantity;
  delete out.unit_price;
  delete out.fixed_total;
  delete out.catalog_item_id;
  return out;
}

/** The pasted row gives a quantity or a price (and no line type of its own). */
function carriesPrice(fields: readonly string[], first: number): boolean {
  const at = (f: number) => fields[f - first] ?? '';
  const typed = LINE_TYPES.includes(at(6));
  return !typed && (cellNumber(at(2)) !== undefined || cellNumber(at(3)) !== undefined);
}

/** A fixed sum or section that received a quantity or price is a priced line now. */
function asPriced(line: EstimateLine): EstimateLine {
  const out: EstimateLine = { ...line, line_type: 'full', unit: line.unit ?? '' };
  delete out.fixed_total;
  return out;
}

/** A new line made from a pasted row: a name and a sum without quantity or price is a fixed sum. */
function newPastedLine(estimateId: number, fields: readonly string[], first: Field): EstimateLine {
  const line = newEmptyLine(estimateId, 0);
  const at = (f: Field) => fields[f - first] ?? '';
  const onlySum = first <= 2 && at(2).trim() === '' && at(3).trim() === '' && cellNumber(at(4)) !== undefined;
  if (onlySum) {
    line.line_type = 'fixed';
    line.unit = null;
    delete line.quantity;
    delete line.unit_price;
  }
  return line;
}

export interface PastedBlock {
  lines: EstimateLine[];
  /** The rows the block wrote, first and last. */
  first: number;
  last: number;
  /** Number cells that kept their value because the pasted figure was beyond the limit. */
  refused: number;
}

/**
 * Fills the lines from the focused cell with the block's rows, column by column in the order
 * name, unit, quantity, price, sum, category, type. Rows past the last line are new lines; when
 * the block covered the empty last line, an empty one follows it again to type into.
 */
export function pasteBlock(lines: readonly EstimateLine[], row: number, col: CellCol, text: string, estimateId: number): PastedBlock | null {
  const rows = parseTsv(text);
  if (rows.length === 0) return null;
  const width = Math.max(...rows.map((r) => r.length));
  const out = lines.slice();
  const lastWasBlank = out.length > 0 && isBlankName(out[out.length - 1]);
  const start = Math.min(Math.max(row, 0), out.length);
  let refused = 0;
  rows.forEach((fields, i) => {
    const at = start + i;
    const existing = out[at];
    let line: EstimateLine = existing ? { ...existing } : newPastedLine(estimateId, fields, col);
    fields.forEach((text, j) => {
      const field = col + j;
      if (field <= 6 && !applyField(line, field as Field, text)) refused += 1;
    });
    if (isHeadingRow(fields, col === 0, width)) line = asSection(line);
    else if (carriesPrice(fields, col) && (line.line_type === 'fixed' || line.line_type === 'section')) line = asPriced(line);
    out[at] = line;
  });
  const last = start + rows.length - 1;
  if (lastWasBlank && last >= lines.length - 1 && !isBlankName(out[out.length - 1])) out.push(newEmptyLine(estimateId, out.length));
  return { lines: renumber(out), first: start, last, refused };
}
