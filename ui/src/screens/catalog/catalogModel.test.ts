import { describe, expect, it } from 'vitest';
import { countText, filterItems, priceText, readPrice, type CatalogItem } from './catalogModel';

const item = (id: number, line_type: string, category: string): CatalogItem => ({ id, name: `п${id}`, unit: null, default_price: null, line_type, category });
const ITEMS = [item(1, 'full', 'work'), item(2, 'quantity_only', 'equipment'), item(3, 'quantity_only', 'work'), item(4, 'fixed', 'equipment'), item(5, 'quantity_only', 'equipment')];

describe('catalog filters and count', () => {
  it.each([
    ['all', 'all', [1, 2, 3, 4, 5], '5 поз.'],
    ['quantity_only', 'equipment', [2, 5], '2 / 5 поз.'],
    ['quantity_only', 'all', [2, 3, 5], '3 / 5 поз.'],
    ['all', 'material', [], '0 / 5 поз.'],
  ] as const)('type %s, category %s', (type, category, ids, count) => {
    const shown = filterItems(ITEMS, type, category);
    expect(shown.map((i) => i.id)).toEqual(ids);
    expect(countText(shown.length, ITEMS.length)).toBe(count);
  });
});

describe('prices', () => {
  it.each([
    [1500.5, '1500.5'],
    [0, '0'],
    [null, '—'],
    [undefined, '—'],
  ])('%j is shown as %s', (price, text) => {
    expect(priceText(price)).toBe(text);
  });

  it.each([
    ['12,5', 12.5],
    [' 7 ', 7],
    ['', null],
    ['abc', 'invalid'],
    ['1e400', 'invalid'],
  ])('%j reads as %j', (text, value) => {
    expect(readPrice(text)).toBe(value);
  });
});
