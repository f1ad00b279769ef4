import { describe, expect, it } from 'vitest';
import { newEmptyLine, type EstimateLine } from '../model/types';
import { pasteBlock, pastedCellText, singlePastedValue } from './paste';
import { lineToTsv } from './tsv';

const line = (l: Partial<EstimateLine>): EstimateLine => ({ estimate_id: 1, sort_order: 0, line_type: 'full', name: '', category: 'work', ...l });
const estimate = (): EstimateLine[] =>
  [
    line({ id: 1, name: 'Кладка', unit: 'м²', quantity: 20, unit_price: 900, catalog_item_id: 7 }),
    line({ id: 2, name: 'Кирпич', unit: 'шт', quantity: 1000, unit_price: 20, category: 'material' }),
    line({ id: 3, name: 'Выезд', line_type: 'fixed', unit: null, fixed_total: 1500 }),
    newEmptyLine(1, 3),
  ].map((l, i) => ({ ...l, sort_order: i }));

describe('single pasted value', () => {
  it.each([
    ['1500\r\n', '1500'],
    ['1500\n', '1500'],
    ['1500\r', '1500'],
    ['Кирпич М150', 'Кирпич М150'],
    ['', ''],
    ['1500\r\n\r\n', null],
    ['a\tb', null],
    ['a\nb', null],
    ['1500\t\r\n', null],
  ])('%j → %j', (clipboard, value) => expect(singlePastedValue(clipboard)).toBe(value));

  it.each([
    ['1 500,50', 2, '1500.5'],
    ['1\u00a0500', 3, '1500'],
    ['abc', 3, 'abc'],
    ['1 500,50', 0, '1 500,50'],
    ['м2', 1, 'м2'],
  ] as const)('%j into column %i types %j', (value, col, text) => expect(pastedCellText(value, col)).toBe(text));
});

describe('block paste', () => {
  it('fills a 3 × 4 block from the focused cell, overwriting and adding lines after the empty last row', () => {
    const block = 'Песок\tм³\t2,5\t1 200\r\nГрунтовка\tл\t10\t85,50\r\nУборка\tкомпл\t1\t3000\r\n';
    const mid = pasteBlock(estimate(), 1, 0, block, 1)!;
    expect(mid.first).toBe(1);
    expect(mid.last).toBe(3);
    expect(mid.lines.map((l) => [l.name, l.unit, l.quantity, l.unit_price, l.line_type])).toEqual([
      ['Кладка', 'м²', 20, 900, 'full'],
      ['Песок', 'м³', 2.5, 1200, 'full'],
      ['Грунтовка', 'л', 10, 85.5, 'full'],
      ['Уборка', 'компл', 1, 3000, 'full'],
      ['', 'шт', 1, 0, 'full'],
    ]);
    // The overwritten line keeps its id (it is the same row) and its sort order follows its place.
    expect(mid.lines[1]).toMatchObject({ id: 2, sort_order: 1, category: 'material' });
    expect(mid.lines.map((l) => l.sort_order)).toEqual([0, 1, 2, 3, 4]);

    const last = pasteBlock(estimate(), 3, 0, block, 1)!;
    expect(last.lines.map((l) => l.name)).toEqual(['Кладка', 'Кирпич', 'Выезд', 'Песок', 'Грунтовка', 'Уборка', '']);
    expect(last.lines[5]).toMatchObject({ unit: 'компл', quantity: 1, unit_price: 3000, line_type: 'full', estimate_id: 1 });
  });

  it('starts at the focused column: quantity and price pasted into rows keep their names', () => {
    const { lines } = pasteBlock(estimate(), 0, 2, '5\t1000\n7,5\tabc\n', 1)!;
    expect(lines[0]).toMatchObject({ name: 'Кладка', quantity: 5, unit_price: 1000, catalog_item_id: 7 });
    // A text that is not a number leaves the price as it was.
    expect(lines[1]).toMatchObject({ name: 'Кирпич', quantity: 7.5, unit_price: 20 });
    expect(lines).toHaveLength(4);
  });

  it('leaves out figures beyond a trillion: the cell keeps its value and the refusals are counted', () => {
    const block = pasteBlock(estimate(), 0, 2, '99999999999999999999\t1000\n5\t-1 000 000 000 001\n', 1)!;
    expect(block.lines[0]).toMatchObject({ quantity: 20, unit_price: 1000 });
    expect(block.lines[1]).toMatchObject({ quantity: 5, unit_price: 20 });
    expect(block.refused).toBe(2);
    // A new row with only a huge sum is no fixed sum; the limit itself is taken.
    const added = pasteBlock([newEmptyLine(1, 0)], 0, 0, 'Выезд\t\t\t\t500000000000000000000\nКран\t\t\t\t1 000 000 000 000\n', 1)!;
    expect(added.lines[1]).toMatchObject({ line_type: 'fixed', fixed_total: 1e12 });
    expect(added.refused).toBe(0);
    // One copied figure goes in as copied, so the cell itself refuses it and says why.
    expect(pastedCellText('99999999999999999999', 3)).toBe('99999999999999999999');
  });

  it('turns a name-only row of a wide block into a section, and a name with a sum into a fixed sum', () => {
    const { lines } = pasteBlock([newEmptyLine(1, 0)], 0, 0, '1. Стены\t\t\t\r\nКладка\tм²\t20\t900\r\nВыезд\t\t\t\t1500\r\n', 1)!;
    expect(lines.map((l) => [l.name, l.line_type])).toEqual([
      ['1. Стены', 'section'],
      ['Кладка', 'full'],
      ['Выезд', 'fixed'],
      ['', 'full'],
    ]);
    expect(lines[0].quantity).toBeUndefined();
    expect(lines[2]).toMatchObject({ fixed_total: 1500, unit: null });
    // A column of names alone stays lines.
    const names = pasteBlock([newEmptyLine(1, 0)], 0, 0, 'Песок\nЦемент\n', 1)!;
    expect(names.lines.map((l) => l.line_type)).toEqual(['full', 'full', 'full']);
  });

  it('a copied row pasted into the empty last row comes back identical, with a new empty row after it', () => {
    const copied = line({ name: 'Труба 1" "ПНД"', unit: 'м', quantity: 12.5, unit_price: 95.3, category: 'material' });
    const { lines } = pasteBlock(estimate(), 3, 0, lineToTsv(copied), 1)!;
    expect(lines[3]).toEqual({ ...copied, sort_order: 3 });
    expect(lines[4]).toEqual(newEmptyLine(1, 4));
  });

  it('renaming a linked line drops its link; a typed category and type are taken', () => {
    const { lines } = pasteBlock(estimate(), 0, 0, 'Доставка\t\t\t\t2500\tequipment\tfixed\n', 1)!;
    expect(lines[0].catalog_item_id).toBeUndefined();
    expect(lines[0]).toMatchObject({ name: 'Доставка', category: 'equipment', line_type: 'fixed' });
  });
});
