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

/**
 * What a recalculation needs to know of the lines' formulas, which only ids and formula texts
 * decide: it stays valid while the user types names, quantities and prices, so a keystroke
 * recomputes only the formulas that read what it changed.
 */
export interface FormulaGraph {
  /** Parsed formulas of the lines that have an id and a formula that parses. */
  formulas: Map<number, FormulaNode>;
  /** Each line's position by id. */
  index: Map<number, number>;
  /** Two lines share an id: only a full pass gives both the same result. */
  sharedIds: boolean;
  /** Ids of the lines from which a loop of references can be reached. */
  cycles: Set<number>;
  /** For each id, the formula lines that read its quantity or price. */
  readers: Map<number, number[]>;
}

export function formulaGraph(lines: readonly EstimateLine[]): FormulaGraph {
  const formulas = new Map<number, FormulaNode>();
  const index = new Map<number, number>();
  let sharedIds = false;
  lines.forEach((line, i) => {
    const id = lineId(line);
    if (id === null) return;
    if (index.has(id)) sharedIds = true;
    index.set(id, i);
    if (!hasFormula(line)) return;
    const node = parsedFormula(line.formula!);
    if (node) formulas.set(id, node);
  });
  // The distinct lines each formula refers to that exist in this estimate.
  const deps = new Map<number, number[]>();
  const readers = new Map<number, number[]>();
  for (const [id, node] of formulas) {
    const refs = [...new Set(referencesOf(node).map((r) => r.id))].filter((d) => index.has(d));
    deps.set(id, refs);
    for (const d of refs) {
      const list = readers.get(d);
      if (list) list.push(id);
      else readers.set(d, [id]);
    }
  }
  return { formulas, index, sharedIds, cycles: loopsReached(lines, deps), readers };
}

/** Ids of the lines from which a loop of references can be reached (a self-reference is a loop). */
export function cycleSet(lines: readonly EstimateLine[]): Set<number> {
  return formulaGraph(lines).cycles;
}

function loopsReached(lines: readonly EstimateLine[], deps: Map<number, number[]>): Set<number> {
  const none: number[] = [];
  const onPath = new Set<number>();
  const finished = new Set<number>();
  const marked = new Set<number>();
  // Iterative walk: long chains of references must not exhaust the call stack.
  const reachesLoop = (start: number): void => {
    type Frame = { id: number; next: number[]; at: number; hit: boolean };
    const stack: Frame[] = [{ id: start, next: deps.get(start) ?? none, at: 0, hit: false }];
    onPath.add(start);
    while (stack.length > 0) {
      const top = stack[stack.length - 1];
      if (top.at === top.next.length) {
        stack.pop();
        onPath.delete(top.id);
        finished.add(top.id);
        if (top.hit) {
          marked.add(top.id);
          if (stack.length > 0) stack[stack.length - 1].hit = true;
        }
        continue;
      }
      const dep = top.next[top.at++];
      if (onPath.has(dep)) top.hit = true;
      else if (finished.has(dep)) top.hit ||= marked.has(dep);
      else {
        onPath.add(dep);
        stack.push({ id: dep, next: deps.get(dep) ?? none, at: 0, hit: false });
      }
    }
  };
  for (const line of lines) {
    const id = lineId(line);
    if (id !== null && deps.has(id) && !finished.has(id)) reachesLoop(id);
  }
  return marked;
}

/**
 * Evaluates the formulas of `ids` (and, first, those of them they read) over the lines'
 * current values, and gives the lines with the new quantities; the very array given when no
 * quantity changes. Formulas outside `ids` count with the quantities the lines hold.
 */
function evaluateSome(
  lines: readonly EstimateLine[],
  calcVars: Readonly<Record<string, number>>,
  graph: FormulaGraph,
  ids: ReadonlySet<number> | readonly number[],
  pending: (id: number) => boolean,
  everyLine: boolean,
): EstimateLine[] {
  const { formulas, index, cycles } = graph;
  const computed = new Map<number, number>();
  const value = (id: number, field: 'qty' | 'price'): number => {
    if (field === 'qty' && computed.has(id)) return computed.get(id)!;
    const at = index.get(id);
    if (at === undefined) return 0;
    return (field === 'qty' ? lines[at].quantity : lines[at].unit_price) ?? 0;
  };
  const done = new Set<number>();
  const compute = (id: number): void => {
    if (done.has(id) || cycles.has(id)) return;
    done.add(id);
    const node = formulas.get(id);
    if (!node) return;
    const refs = referencesOf(node);
    for (const ref of refs) if (ref.field === 'qty' && pending(ref.id)) compute(ref.id);
    const vars: Record<string, number> = { ...calcVars };
    for (const ref of refs) vars[referenceName(ref.id, ref.field)] = value(ref.id, ref.field);
    const result = evaluateFormula(node, vars);
    // Stored rounded: 45 * 1.1 is 49.5, not 49.50000000000001 in every sum and file after it.
    computed.set(id, Number.isFinite(result) ? roundQuantity(result) : 0);
  };
  for (const id of ids) compute(id);

  let out: EstimateLine[] | null = null;
  const settle = (i: number, quantity: number) => {
    const line = lines[i];
    if (line.quantity === quantity) return;
    out ??= lines.slice();
    out[i] = { ...line, quantity };
  };
  if (everyLine) {
    // Lines that share an id all take the one result of that id (or the last one's quantity).
    lines.forEach((line, i) => {
      const id = lineId(line);
      if (id === null || !hasFormula(line)) return;
      settle(i, cycles.has(id) ? 0 : (computed.get(id) ?? value(id, 'qty')));
    });
  } else {
    for (const id of ids) {
      const at = index.get(id)!;
      if (cycles.has(id)) settle(at, 0);
      else if (computed.has(id)) settle(at, computed.get(id)!);
    }
  }
  return out ?? (lines as EstimateLine[]);
}

/**
 * Gives the lines with the quantities of formula lines recomputed; same order, every
 * other field unchanged. Lines without an id keep their quantity. When no quantity changes,
 * the very array given comes back, so nothing downstream redraws for it.
 */
export function recalculateLines(lines: readonly EstimateLine[], calcVars: Readonly<Record<string, number>>, graph?: FormulaGraph): EstimateLine[] {
  if (!graph && !lines.some(hasFormula)) return lines as EstimateLine[];
  const g = graph ?? formulaGraph(lines);
  if (g.formulas.size === 0) return lines as EstimateLine[];
  return evaluateSome(lines, calcVars, g, [...g.formulas.keys()], (id) => g.formulas.has(id), true);
}

/**
 * The ids whose quantity or price `after` changes against `before` (a recalculated list), or
 * null when the formulas themselves may differ: another count of lines, an id or a formula
 * changed. An empty list: every formula has the inputs it had (a name, a unit typed).
 */
export function changedInputs(before: readonly EstimateLine[], after: readonly EstimateLine[]): number[] | null {
  if (before.length !== after.length) return null;
  const changed: number[] = [];
  for (let i = 0; i < after.length; i++) {
    const a = before[i];
    const b = after[i];
    if (a === b) continue;
    if (a.id !== b.id || a.formula !== b.formula) return null;
    const id = lineId(b);
    if (id !== null && (a.quantity !== b.quantity || a.unit_price !== b.unit_price)) changed.push(id);
  }
  return changed;
}

/**
 * Recalculates after a change of values only (changedInputs gave `changed` against a result
 * of a full pass with this graph): the formulas that read a changed line, directly or through
 * other formulas, and a changed formula line's own, which takes back its formula's value.
 * Gives what a full pass would.
 */
export function recalculateChanged(lines: readonly EstimateLine[], calcVars: Readonly<Record<string, number>>, graph: FormulaGraph, changed: readonly number[]): EstimateLine[] {
  if (changed.length === 0) return lines as EstimateLine[];
  if (graph.sharedIds) return recalculateLines(lines, calcVars, graph);
  const affected = new Set<number>();
  const queue = [...changed];
  for (let k = 0; k < queue.length; k++) {
    const id = queue[k];
    if (graph.formulas.has(id)) affected.add(id);
    for (const reader of graph.readers.get(id) ?? []) {
      if (affected.has(reader)) continue;
      affected.add(reader);
      queue.push(reader);
    }
  }
  return evaluateSome(lines, calcVars, graph, affected, (id) => affected.has(id), false);
}
