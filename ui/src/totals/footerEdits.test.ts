import { describe, expect, it } from 'vitest';
import type { EstimateFooter } from '../model/types';
import { addExtra, changeExtra, newExtraId, newExtraRow, removeExtra } from './extras';
import { printedTotalsRows } from './printRows';
import { computeTotals, readExtras } from './totals';

const footer = (patch: Partial<EstimateFooter> = {}): EstimateFooter => ({
  estimate_id: 1, materials: 0, delivery: 0, advance: 0, show_materials: false, show_delivery: false,
  show_advance: false, markup_formula: null, extras_json: null, ...patch,
});

describe('extra sums', () => {
  it('adds, changes and removes rows; the last removal stores null', () => {
    let json = addExtra(null, newExtraRow(undefined, 'a'));
    json = addExtra(json, newExtraRow('Подъём', 'b'));
    expect(readExtras(json)).toEqual([
      { id: 'a', label: 'Доп. сумма', amount: 0, enabled: true },
      { id: 'b', label: 'Подъём', amount: 0, enabled: true },
    ]);
    json = changeExtra(json, 'b', { amount: 1200, enabled: false });
    expect(readExtras(json)[1]).toEqual({ id: 'b', label: 'Подъём', amount: 1200, enabled: false });
    expect(changeExtra(json, 'zz', { amount: 1 })).toBe(json);
    expect(removeExtra(removeExtra(json, 'a'), 'b')).toBeNull();
  });

  it('makes a plain id where no UUID can be made', () => {
    const saved = Object.getOwnPropertyDescriptor(globalThis, 'crypto');
    Object.defineProperty(globalThis, 'crypto', { value: undefined, configurable: true });
    try {
      expect(newExtraId(() => 1700000000000, () => 0.5)).toBe('x-1700000000000-iiiiii');
    } finally {
      if (saved) Object.defineProperty(globalThis, 'crypto', saved);
    }
    expect(newExtraId()).toMatch(/^[0-9a-f-]{36}$/);
  });
});

describe('printed totals', () => {
  const lines = [{ estimate_id: 1, sort_order: 0, line_type: 'full', name: 'Кладка', quantity: 10, unit_price: 100 }];
  const rows = (f: EstimateFooter, markup = { value: 0, error: '' }) =>
    printedTotalsRows(f, computeTotals(lines, f, markup.value), markup).map((r) => [r.label, r.value, !!r.strong]);

  it('shows only the three subtotals and the grand total for a plain footer', () => {
    expect(rows(footer({ delivery: 300, advance: 50 }))).toEqual([
      ['Работы', 1000, false], ['Материалы', 0, false], ['Техника', 0, false], ['Общий итог', 1000, true],
    ]);
  });

  it('adds delivery, enabled extras, the markup and the advance with what is left to pay', () => {
    const extras = JSON.stringify([
      { id: 'a', label: 'Подъём', amount: 200, enabled: true },
      { id: 'b', label: 'Выключено', amount: 999, enabled: false },
    ]);
    const f = footer({ delivery: 300, show_delivery: true, extras_json: extras, markup_formula: 'работы * 0.1', advance: 2000, show_advance: true });
    expect(rows(f, { value: 100, error: '' })).toEqual([
      ['Работы', 1000, false], ['Материалы', 0, false], ['Техника', 0, false], ['Доставка', 300, false],
      ['Подъём', 200, false], ['Наценка', 100, false], ['Общий итог', 1600, true], ['Аванс', 2000, false],
      ['Остаток к оплате', -400, true],
    ]);
  });

  it('leaves out the markup when its evaluation failed', () => {
    const f = footer({ markup_formula: 'работы *' });
    expect(rows(f, { value: 0, error: 'Unexpected end' }).map((r) => r[0])).not.toContain('Наценка');
  });
});
