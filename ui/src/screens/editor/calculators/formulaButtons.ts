// What the buttons of the formula bar append to the current line's formula.

import { referenceName } from '../../../formula';
import type { EstimateLine } from '../../../model/types';

export const FORMULA_OPERATORS = ['+', '-', '*', '/'] as const;
export type FormulaOperator = (typeof FORMULA_OPERATORS)[number];

/** " op " after the trimmed formula, or "op " alone when it is empty. */
export function appendOperator(formula: string | null | undefined, op: FormulaOperator): string {
  const f = (formula ?? '').trim();
  return f === '' ? `${op} ` : `${f} ${op} `;
}

/** " * стены" after the trimmed formula, or "стены" alone. */
export function appendWalls(formula: string | null | undefined): string {
  const f = (formula ?? '').trim();
  return f === '' ? 'стены' : `${f} * стены`;
}

/** " * line:<id>.qty" after the trimmed formula, or the bare reference. */
export function appendLineQuantity(formula: string | null | undefined, lineId: number): string {
  const f = (formula ?? '').trim();
  const ref = referenceName(lineId, 'qty');
  return f === '' ? ref : `${f} * ${ref}`;
}

export interface LineButton {
  id: number;
  label: string;
  title: string;
}

/** One button per other line that has an id, labelled by its row number. */
export function lineButtons(lines: readonly EstimateLine[], currentIndex: number): LineButton[] {
  const out: LineButton[] = [];
  lines.forEach((line, i) => {
    if (i === currentIndex || typeof line.id !== 'number') return;
    const label = `строка${i + 1}`;
    out.push({ id: line.id, label, title: line.name.trim() !== '' ? line.name : `строка ${i + 1}` });
  });
  return out;
}
