// Recomputes the quantities of lines that carry a formula, in dependency order, and
// finds the lines caught in (or leading into) loops of references.

import type { EstimateLine } from '../model/types';
import { roundQuantity } from '../numbers/numberText';
import { evaluateFormula, referencesOf } from './evaluate';
import { parseFormula, referenceName, type FormulaNode } from './parse';

function hasFormula(line: EstimateLine): boolean {
  return typeof line.formula === 'string' && line.formula.trim() !== '';
}

function lineId(line: EstimateLine): number | null {
  return typeof line.id === 'number' ? line.id : null;
}

// Every keystroke recalculates the estimate; the texts of its formulas rarely change, so
// each text is parsed once. Parsed trees are never changed, so sharing them is safe.
const PARSE_CACHE_LIMIT = 20_000;
const parseCache = new Map<string, FormulaNode | null>();

function parsedFormula(text: string): FormulaNode | null {
  let node = parseCache.get(text);
  if (node === undefined) {
    if (parseCache.size >= PARSE_CACHE_LIMIT) parseCache.clear();
    const parsed = parseFormula(text);
    node = parsed.ok ? parsed.node : null;
    parseCache.set(text, node);
  }
  return node;
}

/** Parsed formulas of the lines that have an id and a formula that parses. */
function parsedFormulas(lines: readonly EstimateLine[]): Map<number, FormulaNode> {
  const out = new Map<number, FormulaNode>();
  for (const line of lines) {
    const id = lineId(line);
    if (id === null || !hasFormula(line)) continue;
    const node = parsedFormula(line.formula!);
    if (node) out.set(id, node);
  }
  return out;
}

/** Ids of the lines from which a loop of references can be reached (a self-reference is a loop). */
export function cycleSet(lines: readonly EstimateLine[], formulas: Map<number, FormulaNode> = parsedFormulas(lines)): Set<number> {
  const known = new Set(lines.map(lineId).filter((id): id is number => id !== null));
  const deps = (id: number): number[] => {
    const node = formulas.get(id);
    if (!node) return [];
    return [...new Set(referencesOf(node).map((r) => r.id))].filter((d) => known.has(d));
  };

  const onPath = new Set<number>();
  const finished = new Set<number>();
  const marked = new Set<number>();
  // Iterative walk: long chains of references must not exhaust the call stack.
  const reachesLoop = (start: number): void => {
    type Frame = { id: number; next: number[]; hit: boolean };
    const stack: Frame[] = [{ id: start, next: deps(start), hit: false }];
    onPath.add(start);
    while (stack.length > 0) {
      const top = stack[stack.length - 1];
      const dep = top.next.shift();
      if (dep === undefined) {
        stack.pop();
        onPath.delete(top.id);
        finished.add(top.id);
        if (top.hit) {
          marked.add(top.id);
          if (stack.length > 0) stack[stack.length - 1].hit = true;
        }
        continue;
      }
      if (onPath.has(dep)) top.hit = true;
      else if (finished.has(dep)) top.hit ||= marked.has(dep);
      else {
        onPath.add(dep);
        stack.push({ id: dep, next: deps(dep), hit: false });
      }
    }
  };
  for (const line of lines) {
    const id = lineId(line);
    if (id !== null && !finished.has(id)) reachesLoop(id);
  }
  return marked;
}

/**
 * Gives the lines with the quantities of formula lines recomputed; same order, every
 * other field unchanged. Lines without an id keep their quantity. When no quantity changes,
 * the very array given comes back, so nothing downstream redraws for it.
 */
export function recalculateLines(lines: readonly EstimateLine[], calcVars: Readonly<Record<string, number>>): EstimateLine[] {
  if (!lines.some(hasFormula)) return lines as EstimateLine[];
  const formulas = parsedFormulas(lines);
  const cycles = cycleSet(lines, formulas);
  const qty = new Map<number, number>();
  const price = new Map<number, number>();
  for (const line of lines) {
    const id = lineId(line);
    if (id === null) continue;
    qty.set(id, line.quantity ?? 0);
    price.set(id, line.unit_price ?? 0);
  }

  const done = new Set<number>();
  const compute = (id: number): void => {
    if (done.has(id) || cycles.has(id)) return;
    done.add(id);
    const node = formulas.get(id);
    if (!node) return;
    const refs = referencesOf(node);
    for (const ref of refs) if (ref.field === 'qty' && qty.has(ref.id)) compute(ref.id);
    const vars: Record<string, number> = { ...calcVars };
    for (const ref of refs) {
      const source = ref.field === 'qty' ? qty : price;
      vars[referenceName(ref.id, ref.field)] = source.get(ref.id) ?? 0;
    }
    const value = evaluateFormula(node, vars);
    // Stored rounded: 45 * 1.1 is 49.5, not 49.50000000000001 in every sum and file after it.
    qty.set(id, Number.isFinite(value) ? roundQuantity(value) : 0);
  };
  for (const line of lines) {
    const id = lineId(line);
    if (id !== null) compute(id);
  }

  let out: EstimateLine[] | null = null;
  lines.forEach((line, i) => {
    const id = lineId(line);
    if (id === null || !hasFormula(line)) return;
    const quantity = cycles.has(id) ? 0 : (qty.get(id) ?? 0);
    if (line.quantity === quantity) return;
    out ??= lines.slice();
    out[i] = { ...line, quantity };
  });
  return out ?? (lines as EstimateLine[]);
}

/**
 * Whether `after` gives every formula the same inputs as `before`: as many lines, each with the
 * same id, formula, quantity and price. When `before` is a result of recalculateLines, so is
 * such an `after` (a name, a unit, a category typed): recalculating it finds nothing to change,
 * and a keystroke in a long estimate need not walk all its formulas again.
 */
export function sameFormulaInputs(before: readonly EstimateLine[], after: readonly EstimateLine[]): boolean {
  if (before.length !== after.length) return false;
  for (let i = 0; i < after.length; i++) {
    const a = before[i];
    const b = after[i];
    if (a === b) continue;
    if (a.id !== b.id || a.formula !== b.formula || a.quantity !== b.quantity || a.unit_price !== b.unit_price) return false;
  }
  return true;
}
