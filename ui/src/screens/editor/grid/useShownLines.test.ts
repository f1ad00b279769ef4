import { describe, expect, it } from 'vitest';
import type { EstimateLine } from '../../../model/types';
import { sameShownLine } from './GridRow';
import { AT_ONCE, catchUp, catchUpBatch } from './useShownLines';

const line = (i: number, extra: Partial<EstimateLine> = {}): EstimateLine => ({ estimate_id: 1, sort_order: i, line_type: 'full', name: `Позиция ${i}`, ...extra });
const lines = (n: number) => Array.from({ length: n }, (_, i) => line(i));
/** Every line a new object, as a save's reply gives them (with ids and links). */
const saved = (ls: EstimateLine[]) => ls.map((l, i) => ({ ...l, id: 100 + i, catalog_item_id: 500 + i }));

describe('rows catching up with a large change', () => {
  it('shows a small change at once, a new or a removed line included', () => {
    const before = lines(1000);
    const few = before.map((l, i) => (i < AT_ONCE ? { ...l, name: 'x' } : l));
    expect(catchUp(before, few, () => [])).toBe(few);
    const inserted = [...before.slice(0, 990), line(5000), ...before.slice(990)];
    expect(catchUp(before, inserted, () => [])).toBe(inserted);
    const removed = before.slice(1);
    expect(catchUp(before, removed, () => [{ from: 0, to: 10 }])).not.toBe(removed); // every row moved up
  });

  it('after thousands of lines pasted near the top, redraws only the rows near the view and keeps the rest for later', () => {
    const before = lines(1000);
    const pasted = Array.from({ length: 5000 }, (_, i) => line(10_000 + i));
    const after = [...before.slice(0, 2), ...pasted, ...before.slice(2)];
    const shown = catchUp(before, after, () => [{ from: 0, to: 50 }]);
    expect(shown).toHaveLength(6000);
    expect(shown.slice(0, 50)).toEqual(after.slice(0, 50));
    expect(shown[50]).toBe(before[50]); // still the row it showed, until its batch comes
    expect(shown.slice(1000)).toEqual(after.slice(1000)); // rows past the old end are new anyway
    let caught = shown;
    while (caught !== after) caught = catchUpBatch(caught, after, 2000);
    expect(caught).toBe(after);
    // Undoing the paste: the rows move back up, again near the view first.
    const undone = catchUp(after, before, () => [{ from: 0, to: 20 }]);
    expect(undone).toHaveLength(1000);
    expect(undone.slice(0, 20)).toEqual(before.slice(0, 20));
    expect(undone[20]).toBe(after[20]);
  });

  it('shows a large change only near the given rows, then in batches until the lines themselves are shown', () => {
    const before = lines(1000);
    const after = saved(before);
    let shown = catchUp(before, after, () => [{ from: 490, to: 510 }, { from: -50, to: 5 }]);
    expect(shown.filter((l, i) => l === after[i]).length).toBe(25);
    expect([shown[0], shown[4], shown[495], shown[509]]).toEqual([after[0], after[4], after[495], after[509]]);
    expect(shown[5]).toBe(before[5]);
    const batches = [];
    while (shown !== after) {
      shown = catchUpBatch(shown, after, 400);
      batches.push(shown.filter((l, i) => l === after[i]).length);
    }
    expect(batches).toEqual([425, 825, 1000]);
  });
});

describe('a row redrawn only for what it shows', () => {
  it.each([
    ['an id, the order and the link filled in by a save', { id: 5, sort_order: 9, catalog_item_id: 7 }, { catalog_item_id: 3 }, true],
    ['a link appearing (the pencil)', { catalog_item_id: 7 }, {}, false],
    ['a name', { name: 'Другое' }, {}, false],
    ['a quantity', { quantity: 2 }, { quantity: 1 }, false],
    ['a field that appears', { formula: 'стены' }, {}, false],
    ['a field that goes', {}, { unit_price: 5 }, false],
  ])('%s', (_, after, before, same) => {
    expect(sameShownLine(line(1, before as Partial<EstimateLine>), line(1, after as Partial<EstimateLine>))).toBe(same);
  });
});
