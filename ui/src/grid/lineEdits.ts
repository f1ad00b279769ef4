// Edits of lines that the grid's keys and tools make, as pure functions of the lines.

import { effectiveCategory } from '../category/category';
import { readLineFormat, withLineFormat, type LineFormat } from '../estimateStore/lineFormat';
import { isBlankName, newEmptyLine, renumber, type EstimateLine } from '../model/types';
import type { CellCol } from './keyboard';

const FILL_FIELDS: Record<CellCol, keyof EstimateLine> = { 0: 'name', 1: 'unit', 2: 'quantity', 3: 'unit_price', 4: 'fixed_total' };

/** Ctrl+D: the focused column's value copied from the row above; row 0 has none (null). */
export function fillDown(lines: readonly EstimateLine[], row: number, col: CellCol): EstimateLine[] | null {
  if (row <= 0 || row >= lines.length) return null;
  const field = FILL_FIELDS[col];
  const above = lines[row - 1][field];
  const out = lines.slice();
  const next: EstimateLine = { ...lines[row] };
  if (above === undefined) delete next[field];
  else (next as unknown as Record<string, unknown>)[field] = above;
  // A new name makes the line another item, as typing it does; registering links it anew.
  if (field === 'name' && next.name !== lines[row].name) next.catalog_item_id = null;
  out[row] = next;
  return out;
}

/** A copy right below the line, without id, with " (копия)" after a non-empty name. */
export function duplicateLine(lines: readonly EstimateLine[], row: number): EstimateLine[] {
  const source = lines[row];
  if (!source) return lines.slice();
  const copy: EstimateLine = { ...source, name: isBlankName(source) ? source.name : `${source.name} (копия)` };
  delete copy.id;
  const out = lines.slice();
  out.splice(row + 1, 0, copy);
  return renumber(out);
}

export function insertEmptyLine(lines: readonly EstimateLine[], at: number, estimateId: number): EstimateLine[] {
  const out = lines.slice();
  out.splice(at, 0, newEmptyLine(estimateId, at));
  return renumber(out);
}

export function removeLine(lines: readonly EstimateLine[], row: number): EstimateLine[] {
  return renumber(lines.filter((_, i) => i !== row));
}

export function insertLines(lines: readonly EstimateLine[], at: number, added: readonly EstimateLine[]): EstimateLine[] {
  const out = lines.slice();
  out.splice(at, 0, ...added);
  return renumber(out);
}

export type CategoryFilter = 'all' | 'work' | 'material' | 'equipment';

/** A row shows when the filter is all, or it is a section, has a blank name, or has the category. */
export function rowShown(line: EstimateLine, filter: CategoryFilter): boolean {
  if (filter === 'all' || line.line_type === 'section' || isBlankName(line)) return true;
  return effectiveCategory(line.category) === filter;
}

/** What the format tools show for a row: its own keys, else the settings' defaults. */
export interface ShownFormat {
  font: string;
  size: number;
  bold: boolean;
  italic: boolean;
  fill: string | null;
  align: 'left' | 'center' | 'right';
}

export function shownFormat(line: EstimateLine | undefined, defaults: { font: string; size: number }): ShownFormat {
  const f = readLineFormat(line?.format_json);
  return {
    font: f.font || defaults.font || 'system-ui',
    size: f.size ?? defaults.size ?? 13,
    bold: line?.name_bold === true || f.bold === true,
    italic: f.italic === true,
    fill: f.fill ?? null,
    align: f.align ?? 'left',
  };
}

/**
 * A format tool used on a line: the line's own stored keys with bold set to the shown bold
 * value and the one key changed; name_bold follows the written bold.
 */
export function applyFormatTool(line: EstimateLine, change: Partial<LineFormat>): EstimateLine {
  const own = readLineFormat(line.format_json);
  const bold = line.name_bold === true || own.bold === true;
  return withLineFormat(line, { ...own, bold, ...change });
}

/** Ctrl+B: the opposite of the bold that shows, written to both the flag and the format. */
export function toggleBold(line: EstimateLine): EstimateLine {
  const own = readLineFormat(line.format_json);
  const bold = line.name_bold === true || own.bold === true;
  return applyFormatTool(line, { bold: !bold });
}

/** A sum as money is kept: to the kopeck, without the binary noise of the multiplication. */
const toKopecks = (n: number) => Math.round(n * 100) / 100;

/**
 * A line given another type keeps its money: a priced line becoming a fixed sum takes quantity ×
 * price as its sum; a fixed sum becoming priced takes quantity 1 and the sum as its price.
 */
export function switchLineType(line: EstimateLine, lineType: string): EstimateLine {
  const from = line.line_type;
  if (from === lineType) return line;
  const next: EstimateLine = { ...line, line_type: lineType };
  if (lineType === 'fixed' && from !== 'section') {
    const sum = from === 'full' ? toKopecks((line.quantity ?? 0) * (line.unit_price ?? 0)) : (line.fixed_total ?? 0);
    next.fixed_total = sum;
  } else if (from === 'fixed' && (lineType === 'full' || lineType === 'quantity_only')) {
    next.quantity = 1;
    if (lineType === 'full') next.unit_price = line.fixed_total ?? 0;
    if (!next.unit) next.unit = 'шт';
  }
  return next;
}
