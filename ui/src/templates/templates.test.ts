import { describe, expect, it } from 'vitest';
import { TEMPLATES, templateRows } from './templates';

describe('template rows', () => {
  it.each([
    ['default', 1],
    ['gost', 4],
    ['ip', 1],
    ['finishing', 10],
    ['electric', 9],
    ['foundation', 12],
    ['plumbing', 10],
    ['unknown', 1],
  ])('%s has %d rows numbered in order for the estimate', (id, count) => {
    const rows = templateRows(id, 42);
    expect(rows).toHaveLength(count);
    rows.forEach((r, i) => {
      expect(r.sort_order).toBe(i);
      expect(r.estimate_id).toBe(42);
    });
  });

  it('builds sections and items with zero prices', () => {
    const rows = templateRows('foundation', 1);
    expect(rows[0]).toEqual({ estimate_id: 1, sort_order: 0, line_type: 'section', name: '1. Земляные работы', category: 'work' });
    expect(rows[2]).toEqual({
      estimate_id: 1, sort_order: 2, line_type: 'full', name: 'Аренда экскаватора', unit: 'смена', quantity: 1,
      unit_price: 0, category: 'equipment',
    });
    const gost = templateRows('gost', 1);
    expect(gost.map((r) => r.category)).toEqual([undefined, 'work', undefined, 'work']);
    expect(gost[3]).toMatchObject({ line_type: 'full', name: '', unit: 'шт' });
    expect(templateRows('ip', 1)[0]).toMatchObject({ line_type: 'quantity_only', name: '', unit: 'шт', quantity: 1, unit_price: 0 });
    expect(TEMPLATES.map((t) => t.id)).toEqual(['default', 'gost', 'ip', 'finishing', 'electric', 'foundation', 'plumbing']);
  });
});
