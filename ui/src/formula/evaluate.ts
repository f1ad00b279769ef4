// Evaluation of a parsed quantity formula. It never fails: what is unknown counts 0.

import { referenceName, type FormulaNode } from './parse';

export type Variables = ReadonlyMap<string, number> | Readonly<Record<string, number>>;

function lookup(vars: Variables, name: string): number {
  const value = vars instanceof Map ? vars.get(name) : Object.hasOwn(vars, name) ? (vars as Record<string, number>)[name] : 0;
  return typeof value === 'number' ? value : 0;
}

export function evaluateFormula(node: FormulaNode, vars: Variables): number {
  switch (node.kind) {
    case 'num':
      return node.value;
    case 'var':
      return lookup(vars, node.name);
    case 'line':
      return lookup(vars, referenceName(node.id, node.field));
    case 'op': {
      const left = evaluateFormula(node.left, vars);
      const right = evaluateFormula(node.right, vars);
      switch (node.op) {
        case '+':
          return left + right;
        case '-':
          return left - right;
        case '*':
          return left * right;
        case '/':
          return right === 0 ? 0 : left / right;
      }
    }
  }
}

/** Every reference of a formula, left to right (ids may repeat). */
export function referencesOf(node: FormulaNode): Array<{ id: number; field: 'qty' | 'price' }> {
  const out: Array<{ id: number; field: 'qty' | 'price' }> = [];
  const walk = (n: FormulaNode): void => {
    if (n.kind === 'line') out.push({ id: n.id, field: n.field });
    else if (n.kind === 'op') {
      walk(n.left);
      walk(n.right);
    }
  };
  walk(node);
  return out;
}

/** The ids of the lines a formula refers to, left to right. */
export function referencedLines(node: FormulaNode): number[] {
  return referencesOf(node).map((r) => r.id);
}
