// The quantity formula of a line shown as a row of blocks: numbers, names, operators and
// references to other lines by their row number (строка3.колво).

import { parseFormula, type FormulaNode } from '../../../formula';
import type { EstimateLine } from '../../../model/types';
import { plainNumber } from '../../../numbers/numberText';

export type BlockKind = 'num' | 'var' | 'op' | 'ref' | 'paren';

export interface FormulaBlock {
  kind: BlockKind;
  text: string;
}

const PRECEDENCE = { '+': 1, '-': 1, '*': 2, '/': 2 } as const;

/** "строка" + the row number of the line with that id (its id when no line has it) + ".колво" / ".цена". */
export function referenceLabel(id: number, field: 'qty' | 'price', lines: readonly Pick<EstimateLine, 'id'>[]): string {
  const position = lines.findIndex((l) => l.id === id);
  return `строка${position >= 0 ? position + 1 : id}.${field === 'qty' ? 'колво' : 'цена'}`;
}

function numberText(value: number): string {
  return plainNumber(value);
}

/**
 * Blocks in reading order. The tree keeps no parentheses, so they are put back where the
 * reading would otherwise change the meaning: (1 + 2) * 3, 5 - (2 - 1).
 */
export function formulaBlocks(formula: string | null | undefined, lines: readonly Pick<EstimateLine, 'id'>[]): FormulaBlock[] {
  if (!formula || formula.trim() === '') return [];
  const parsed = parseFormula(formula);
  if (!parsed.ok) return [];
  const out: FormulaBlock[] = [];
  const walk = (node: FormulaNode, parens: boolean): void => {
    if (parens) out.push({ kind: 'paren', text: '(' });
    switch (node.kind) {
      case 'num':
        out.push({ kind: 'num', text: numberText(node.value) });
        break;
      case 'var':
        out.push({ kind: 'var', text: node.name });
        break;
      case 'line':
        out.push({ kind: 'ref', text: referenceLabel(node.id, node.field, lines) });
        break;
      case 'op': {
        const p = PRECEDENCE[node.op];
        const leftOp = node.left.kind === 'op' ? PRECEDENCE[node.left.op] : Infinity;
        const rightOp = node.right.kind === 'op' ? PRECEDENCE[node.right.op] : Infinity;
        walk(node.left, leftOp < p);
        out.push({ kind: 'op', text: node.op });
        walk(node.right, rightOp < p || (rightOp === p && (node.op === '-' || node.op === '/')));
        break;
      }
    }
    if (parens) out.push({ kind: 'paren', text: ')' });
  };
  walk(parsed.node, false);
  return out;
}
