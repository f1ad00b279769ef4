import { describe, expect, it } from 'vitest';
import type { EstimateLine } from '../../../model/types';
import { sameShownLine } from './GridRow';
import { AT_ONCE, catchUp, catchUpBatch } from './useShownLines';

const line = (i: number, extra: Partial<EstimateLine> = {}): EstimateLine => ({ estimate_id: 1, sort_order: i, line_type: 'full', name: `Позиция ${i}`, ...extra });
const lines = (n: number) => Array.from({ length: n }, (_, i) => line(i));
/** Every line a new object, as a save's reply gives them (with ids and links). */
const saved = (ls: EstimateLine[]) => ls.map((l, i) => ({ ...l, id: 100 + i, catalog_item_id: 500 + i }));

describe('rows catching up with a large change', () => {
  it('shows a small change, and any change of the line count, at once', () => {
    const before = lines(1000);
    const few = before.map((l, i) => (i < AT_ONCE ? { ...l, name: 'x' } : l));
    expect(catchUp(before, few, [])).toBe(few);
    const longer = [...saved(before), line(1000)];
    expect(catchUp(before, longer, [])).toBe(longer);
  });

  it('shows a large change only near the given rows, then in batches until the lines themselves are shown', () => {
    const before = lines(1000);
    const after = saved(before);
    let shown = catchUp(before, after, [{ from: 490, to: 510 }, { from: -50, to: 5 }]);
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
