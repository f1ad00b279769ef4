import { describe, expect, it } from 'vitest';
import type { EstimateFooter, EstimateLine } from '../model/types';
import { computeBuckets, computeTotals, lineSum, markupVariables, readExtras, writeExtras } from './totals';

const footer = (patch: Partial<EstimateFooter> = {}): EstimateFooter => ({
  estimate_id: 1, materials: 0, delivery: 0, advance: 0, show_materials: false, show_delivery: false,
  show_advance: false, markup_formula: null, extras_json: null, ...patch,
});
const ln = (patch: Partial<EstimateLine>): EstimateLine => ({ estimate_id: 1, sort_order: 0, line_type: 'full', name: 'x', ...patch });

describe('line sum', () => {
  it.each([
    [{ line_type: 'full', quantity: 2.5, unit_price: 1000 }, 2500],
    [{ line_type: 'quantity_only', quantity: 2.5, unit_price: 1000 }, 0],
    [{ line_type: 'fixed', quantity: 2, unit_price: 3 }, 0],
    [{ line_type: 'fixed', fixed_total: 700 }, 700],
    [{ line_type: 'section', fixed_total: 700, quantity: 1, unit_price: 1 }, 0],
    [{ line_type: 'strange', quantity: 3, unit_price: 4 }, 12],
    [{ line_type: 'full', quantity: null, unit_price: 4 }, 0],
  ])('%o gives %d', (patch, expected) => {
    expect(lineSum(ln(patch))).toBe(expected);
  });
});

describe('totals', () => {
  const lines = [
    ln({ quantity: 1, unit_price: 100, category: 'work' }),
    ln({ quantity: 1, unit_price: 10, category: 'Material' }),
    ln({ quantity: 1, unit_price: 20, category: 'delivery' }),
    ln({ quantity: 1, unit_price: 1000, category: ' material ' }),
    ln({ quantity: 2, unit_price: 300, category: 'equipment' }),
  ];

  it('puts sums into buckets by trimmed exact category', () => {
    expect(computeBuckets(lines, null)).toEqual({ works: 130, materials: 1000, equipment: 600, delivery: 0, extras: 0 });
  });

  it('adds the materials add-on only when on, and gives delivery 0 when off', () => {
    const off = footer({ materials: 500, delivery: 3000, advance: 50 });
    expect(markupVariables(computeBuckets(lines, off), off)).toEqual({ works: 130, materials: 1000, delivery: 0, equipment: 600, advance: 50, extras: 0 });
    const on = footer({ materials: 500, show_materials: true, delivery: 3000, show_delivery: true });
    expect(computeBuckets(lines, on)).toMatchObject({ materials: 1500, delivery: 3000 });
  });

  it('sums enabled extras, skips rows without id or label, counts a bad amount as 0', () => {
    const extras = JSON.stringify([
      { id: 'a', label: 'Вывоз мусора', amount: 100, enabled: true },
      { id: 'b', label: 'Подъём', amount: 40 },
      { id: 'c', label: 'Выкл', amount: 1000, enabled: false },
      { id: 'd', label: 'Битая', amount: 'много' },
      { label: 'Без id', amount: 7 },
    ]);
    expect(computeBuckets([], footer({ extras_json: extras })).extras).toBe(140);
    expect(readExtras('not json')).toEqual([]);
    expect(writeExtras([])).toBeNull();
  });

  it('adds markup into the grand total and takes the advance off only when shown', () => {
    const f = footer({ advance: 10_000 });
    expect(computeTotals(lines, f, -30)).toMatchObject({ grand: 1700, balance: 1700, markup: -30 });
    expect(computeTotals(lines, { ...f, show_advance: true }, 0).balance).toBe(1730 - 10_000);
  });
});
