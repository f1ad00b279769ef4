import { describe, expect, it } from 'vitest';
import type { EstimateLine } from '../model/types';
import { changedInputs, cycleSet, evaluateFormula, formulaGraph, parseFormula, recalculateChanged, recalculateLines, referencedLines } from '.';

function value(text: string, vars: Record<string, number> = {}): number {
  const r = parseFormula(text);
  if (!r.ok) throw new Error(r.error);
  return evaluateFormula(r.node, vars);
}

describe('parse and evaluate', () => {
  it.each([
    ['2 * (3 + 4)', 14],
    ['-2 * 3', -6],
    ['10 / 0', 0],
    ['1 - 2 - 3', -4],
    ['8 / 2 / 2', 2],
    ['+5', 5],
    ['--2', 2],
    ['2\u00a0+\t1.25', 3.25],
    ['неизвестно * 3', 0],
    ['м² + 1', 1],
  ])('%s = %d', (text, expected) => {
    expect(value(text)).toBe(expected);
  });

  it.each([
    ['2,5,1', 'лишние символы'],
    ['2, 5', 'лишние символы'],
    ['5.', 'лишние символы'],
    ['5,', 'лишние символы'],
    ['.5', 'число'],
    ['(1 + 2', 'нет закрывающей скобки'],
    ['line:x.qty', 'ссылка: line:<id>.qty|price'],
    ['line:3.sum', 'ссылка: line:<id>.qty|price'],
    ['line:3qty', 'ссылка: line:<id>.qty|price'],
    ['3 +', 'ожидалось значение'],
    ['#', 'непонятный токен'],
    ['   ', 'пустая формула'],
    ['', 'пустая формула'],
    ['2 ^ 3', 'лишние символы'],
  ])('%j fails with %s', (text, message) => {
    expect(parseFormula(text)).toEqual({ ok: false, error: message });
  });

  it('stores a leading minus as -1 times the operand and names variables case-sensitively', () => {
    expect(parseFormula('-x')).toEqual({
      ok: true,
      node: { kind: 'op', op: '*', left: { kind: 'num', value: -1 }, right: { kind: 'var', name: 'x' } },
    });
    expect(value('L * 2', { L: 3, l: 100 })).toBe(6);
  });

  it('lists referenced lines left to right and reads them from the reference variables', () => {
    const r = parseFormula('line:7.qty * line:3.price + line:7.price');
    expect(r.ok && referencedLines(r.node)).toEqual([7, 3, 7]);
    expect(value('line:7.qty * line:3.price', { 'line:7.qty': 2, 'line:3.price': 5 })).toBe(10);
    expect(value('line:9.qty + 1')).toBe(1);
  });

  it.each([
    ['стены * 1,1', 'стены * 1.1'],
    ['2,5', '2.5'],
    ['(пол + 0,75) / 1,5', '(пол + 0.75) / 1.5'],
    ['line:3.qty*1,05', 'line:3.qty*1.05'],
  ])('the decimal comma in %s reads like %s', (comma, point) => {
    const vars = { стены: 45, пол: 12, 'line:3.qty': 19.35 };
    expect(value(comma, vars)).toBe(value(point, vars));
  });

  it('uses calculator variables such as the wall area', () => {
    expect(value('стены * 1.05', { стены: 40 })).toBeCloseTo(42);
    expect(value('стены * 1.05')).toBe(0);
  });
});

const line = (id: number | undefined, formula?: string, quantity = 1, unit_price = 0): EstimateLine => ({
  id,
  estimate_id: 1,
  sort_order: 0,
  line_type: 'full',
  name: `l${id}`,
  quantity,
  unit_price,
  formula,
});

describe('cycle set', () => {
  it.each([
    ['self', [line(1, 'line:1.qty')], [1]],
    ['pair and a dependant', [line(1, 'line:2.qty'), line(2, 'line:1.price'), line(3, 'line:1.qty'), line(4, 'line:5.qty'), line(5, '2')], [1, 2, 3]],
    ['dependant listed first', [line(3, 'line:1.qty + line:5.qty'), line(1, 'line:2.qty'), line(2, 'line:1.qty'), line(5, '1')], [1, 2, 3]],
    ['reference to a missing line', [line(1, 'line:99.qty')], []],
    ['unparsable formula has no dependencies', [line(1, 'line:1.qty +')], []],
  ])('%s', (_name, lines, expected) => {
    expect([...cycleSet(lines)].sort()).toEqual(expected);
  });
});

describe('recalculate lines', () => {
  const quantities = (lines: EstimateLine[]) => lines.map((l) => l.quantity);

  it('computes references regardless of list order', () => {
    const p = line(10, '3', 0);
    const q = line(20, 'line:10.qty * 2', 0);
    expect(quantities(recalculateLines([p, q], {}))).toEqual([3, 6]);
    expect(quantities(recalculateLines([q, p], {}))).toEqual([6, 3]);
  });

  it('zeros loops and their dependants, keeps other lines', () => {
    const lines = [line(1, 'line:2.qty', 5), line(2, 'line:1.qty', 5), line(3, 'line:1.qty + 1', 5), line(4, 'line:5.qty + 1', 5), line(5, undefined, 4)];
    expect(quantities(recalculateLines(lines, {}))).toEqual([0, 0, 0, 5, 4]);
  });

  it('leaves lines without id, without formula or with a bad formula as they are', () => {
    const noId = line(undefined, '2 * 2', 7);
    const bad = line(2, '2 +', 9);
    const blank = line(3, '   ', 11);
    const out = recalculateLines([noId, bad, blank], {});
    expect(out[0]).toBe(noId);
    expect(quantities(out)).toEqual([7, 9, 11]);
  });

  it.each([
    ['стены * 1.1', { стены: 45 }, 49.5],
    ['line:9.qty * 1,1', { стены: 0 }, 21.285],
    ['0.1 + 0.2', {}, 0.3],
    ['1 / 3', {}, 0.333333333],
  ])('stores %s rounded to 9 decimal places', (formula, vars, expected) => {
    const out = recalculateLines([line(1, formula, 0), line(9, undefined, 19.35)], vars);
    expect(out[0].quantity).toBe(expected);
  });

  it('uses calculator variables and price references, turns a missing line into 0', () => {
    const lines = [line(1, 'пол * line:2.price', 0), line(2, undefined, 1, 250), line(3, 'line:42.qty + 1', 0)];
    expect(quantities(recalculateLines(lines, { пол: 12 }))).toEqual([3000, 1, 1]);
  });
});

describe('recalculating after a change of values only', () => {
  // A recalculated estimate (line 2 reads line 1, line 3 reads line 2, line 5 reads line 4),
  // then one change: what is recomputed from the change alone is what a full pass gives.
  const start = [line(1, undefined, 4, 10), line(2, 'line:1.qty * line:1.price', 0), line(3, 'line:2.qty + 1', 0), line(4, undefined, 2, 3), line(5, 'line:4.price * 2', 0)];
  const graph = formulaGraph(start);
  const settled = recalculateLines(start, {}, graph);
  const edit = (i: number, change: Partial<EstimateLine>) => settled.map((l, k) => (k === i ? { ...l, ...change } : l));
  it.each([
    ['a name typed', edit(0, { name: 'Кладка' }), []],
    ['a unit and a category', edit(2, { unit: 'м²', category: 'material' }), []],
    ['a quantity others read, through two formulas', edit(0, { quantity: 5 }), [1]],
    ['a price others read', edit(0, { unit_price: 11 }), [1]],
    ['a price read by another formula only', edit(3, { unit_price: 7 }), [4]],
    ["a formula line's quantity typed over", edit(2, { quantity: 99 }), [3]],
    ['a formula', edit(1, { formula: 'line:1.qty' }), null],
    ['an id given by a save', edit(0, { id: 7 }), null],
    ['a line added', [...settled, line(undefined)], null],
  ])('%s', (_name, next, changed) => {
    expect(settled.map((l) => l.quantity)).toEqual([4, 40, 41, 2, 6]);
    expect(changedInputs(settled, next)).toEqual(changed);
    if (changed === null) return;
    const some = recalculateChanged(next, {}, graph, changed);
    expect(some).toEqual(recalculateLines(next, {}));
    if (changed.length === 0) expect(some).toBe(next);
  });

  it('zeros a loop made of values that were fine, like a full pass', () => {
    const lines = [line(1, 'line:2.qty', 0), line(2, 'line:1.qty', 0), line(3, 'line:1.qty + 1', 0), line(4, undefined, 3)];
    const g = formulaGraph(lines);
    const done = recalculateLines(lines, {}, g);
    const next = done.map((l, k) => (k === 0 ? { ...l, quantity: 8 } : l));
    expect(recalculateChanged(next, {}, g, changedInputs(done, next)!).map((l) => l.quantity)).toEqual([0, 0, 0, 3]);
  });
});
