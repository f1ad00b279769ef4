// Lines as tab-separated text: the row that Ctrl+C copies, and the rows that a paste from a
// spreadsheet (or from our own copy) brings in.

import { guessCategory } from '../category/category';
import { newEmptyLine, type EstimateLine } from '../model/types';
import { plainNumber } from '../numbers/numberText';

const LINE_TYPES = ['full', 'quantity_only', 'fixed', 'section'];
const CATEGORIES = ['work', 'material', 'equipment'];

/** A field with a tab, line break, carriage return or double quote is quoted, inner quotes doubled. */
export function tsvField(value: string): string {
  return /[\t\n\r"]/.test(value) ? `"${value.replace(/"/g, '""')}"` : value;
}

const text = (v: string | number | null | undefined): string => (typeof v === 'number' ? plainNumber(v) : (v ?? ''));

/** Name, unit, quantity, unit price, fixed sum, category, line type; no line break at the end. */
export function lineToTsv(line: EstimateLine): string {
  return [line.name, line.unit, line.quantity, line.unit_price, line.fixed_total, line.category, line.line_type]
    .map((v) => tsvField(text(v)))
    .join('\t');
}

/** Whether pasted text is rows rather than a piece of one cell's text. */
export function looksLikeRows(clipboard: string): boolean {
  return /[\t\n\r]/.test(clipboard);
}

/**
 * Splits tab-separated text into rows of fields. A field that starts with a double quote runs
 * to the closing quote (doubled quotes inside stand for one), so quoted fields may hold tabs
 * and line breaks. One line break at the very end closes the last row rather than opening one.
 */
export function parseTsv(input: string): string[][] {
  const rows: string[][] = [];
  let row: string[] = [];
  let field = '';
  let i = 0;
  const n = input.length;
  let atFieldStart = true;
  while (i < n) {
    const ch = input[i];
    if (atFieldStart && ch === '"') {
      // Quoted field.
      i++;
      while (i < n) {
        if (input[i] === '"') {
          if (input[i + 1] === '"') {
            field += '"';
            i += 2;
            continue;
          }
          i++;
          break;
        }
        field += input[i++];
      }
      atFieldStart = false;
      continue;
    }
    atFieldStart = false;
    if (ch === '\t') {
      row.push(field);
      field = '';
      atFieldStart = true;
      i++;
    } else if (ch === '\r' || ch === '\n') {
      row.push(field);
      rows.push(row);
      row = [];
      field = '';
      atFieldStart = true;
      i += ch === '\r' && input[i + 1] === '\n' ? 2 : 1;
    } else {
      field += ch;
      i++;
    }
  }
  if (!atFieldStart || row.length > 0) {
    row.push(field);
    rows.push(row);
  }
  return rows;
}

/** A number as spreadsheets write it: a comma or point, spaces between thousands. */
export function readPastedNumber(value: string): number | undefined {
  const compact = value.replace(/[\s\u00a0\u202f]/g, '').replace(',', '.');
  if (!/^-?(\d+\.?\d*|\.\d+)$/.test(compact)) return undefined;
  const n = Number(compact);
  return Number.isFinite(n) ? n : undefined;
}

/**
 * One line per pasted row: name, unit, quantity, unit price and, as our own copy writes them,
 * fixed sum, category and line type. A row with only a name is a new line with that name;
 * rows with no text at all are skipped.
 */
export function rowsToLines(rows: readonly string[][], estimateId: number): EstimateLine[] {
  const lines: EstimateLine[] = [];
  for (const fields of rows) {
    if (fields.every((f) => f.trim() === '')) continue;
    const name = fields[0] ?? '';
    const base = newEmptyLine(estimateId, 0);
    if (fields.length === 1) {
      lines.push({ ...base, name, category: guessCategory(name) });
      continue;
    }
    const lineType = LINE_TYPES.includes(fields[6] ?? '') ? fields[6] : 'full';
    const category = CATEGORIES.includes(fields[5] ?? '') ? fields[5] : guessCategory(name);
    const line: EstimateLine = { estimate_id: estimateId, sort_order: 0, line_type: lineType, name, category };
    line.unit = lineType === 'fixed' && (fields[1] ?? '') === '' ? null : (fields[1] ?? '');
    const quantity = readPastedNumber(fields[2] ?? '');
    const price = readPastedNumber(fields[3] ?? '');
    const fixed = readPastedNumber(fields[4] ?? '');
    if (quantity !== undefined) line.quantity = quantity;
    if (price !== undefined) line.unit_price = price;
    if (fixed !== undefined) line.fixed_total = fixed;
    lines.push(line);
  }
  return lines;
}
