import { describe, expect, it } from 'vitest';
import type { EstimateLine } from '../model/types';
import type { CatalogItem } from './catalogItem';
import { inlineCompletion } from './completion';
import { entryParts } from './entry';
import { fillLineFromItem, typeName } from './fillLine';
import { suggestionKey, type SuggestionKeyState } from './keys';
import { placeSuggestionList } from './placement';

const item = (patch: Partial<CatalogItem>): CatalogItem => ({
  id: 7, name: 'Кладка кирпича', unit: 'м³', default_price: 4500, line_type: 'full', category: 'work', usage_count: 0, ...patch,
});

describe('list placement', () => {
  it.each([
    ['field wider than the list grows up to 560', { left: 100, bottom: 50, width: 700 }, 1600, { left: 100, top: 52, width: 560 }],
    ['narrow field gets at least 420', { left: 100, bottom: 50, width: 200 }, 1600, { left: 100, top: 52, width: 420 }],
    ['width in between is kept', { left: 100, bottom: 50, width: 480 }, 1600, { left: 100, top: 52, width: 480 }],
    ['moved left to stay 12 px inside', { left: 900, bottom: 80, width: 300 }, 1200, { left: 768, top: 82, width: 420 }],
    ['small window: window less 24 px', { left: 50, bottom: 10, width: 300 }, 400, { left: 12, top: 12, width: 376 }],
  ])('%s', (_name, field, windowWidth, expected) => {
    expect(placeSuggestionList(field, windowWidth)).toEqual(expected);
  });
});

describe('inline completion', () => {
  const results = [item({ name: ' Кладка кирпича ' })];
  it.each([
    ['rest of the first name after the typed text', 'кла', results, false, 'left', 'дка кирпича'],
    ['letter case ignored, blanks around the typed text', '  КЛАДКА К', results, false, 'left', 'ирпича'],
    ['not while the list is open', 'кла', results, true, 'left', ''],
    ['only for left-aligned names', 'кла', results, false, 'center', ''],
    ['needs two typed characters', 'к', results, false, 'left', ''],
    ['not when the name is no longer', 'кладка кирпича', results, false, 'left', ''],
    ['not when the name does not start with it', 'кир', results, false, 'left', ''],
    ['not without results', 'кла', [], false, 'left', ''],
  ] as const)('%s', (_name, typed, res, listOpen, align, expected) => {
    expect(inlineCompletion({ typed, results: res, listOpen, align })).toBe(expected);
  });
});

describe('filling a line from an item', () => {
  const line: EstimateLine = {
    id: 3, estimate_id: 9, sort_order: 4, line_type: 'full', name: 'кл', unit: 'м²', quantity: 5, unit_price: 10,
    category: 'material', format_json: '{"bold":true}', name_bold: true, sku: 'OLD', cost_price: 3,
  };
  it.each([
    ['fixed', item({ line_type: 'fixed', default_price: 1500, unit: 'шт' }),
      { line_type: 'fixed', unit: null, quantity: null, unit_price: null, fixed_total: 1500 }],
    ['fixed without price', item({ line_type: 'fixed', default_price: null }),
      { line_type: 'fixed', unit: null, quantity: null, unit_price: null, fixed_total: 0 }],
    ['quantity only', item({ line_type: 'quantity_only', unit: null }),
      { line_type: 'quantity_only', unit: 'шт', quantity: 1, unit_price: null, fixed_total: null }],
    ['full', item({}), { line_type: 'full', unit: 'м³', quantity: 1, unit_price: 4500, fixed_total: null }],
    ['no type, no price', item({ line_type: '', default_price: null }),
      { line_type: 'full', unit: 'м³', quantity: 1, unit_price: 0, fixed_total: null }],
  ])('%s', (_name, it_, expected) => {
    expect(fillLineFromItem(line, it_)).toEqual({
      ...line, name: it_.name, catalog_item_id: 7, sku: null, cost_price: null, category: 'work', ...expected,
    });
  });

  it('takes article, cost price and category; an item without category gives work', () => {
    expect(fillLineFromItem(line, item({ sku: 'A-1', cost_price: 99, category: 'equipment' }))).toMatchObject({ sku: 'A-1', cost_price: 99, category: 'equipment' });
    expect(fillLineFromItem(line, item({ category: '' })).category).toBe('work');
  });

  it('typing a name drops the link and guesses the category', () => {
    const linked = { ...line, catalog_item_id: 7 };
    expect(typeName(linked, 'Монтаж окна')).toMatchObject({ name: 'Монтаж окна', catalog_item_id: null, category: 'work' });
    expect(typeName(linked, 'Песок')).toMatchObject({ category: 'material' });
  });
});

describe('suggestion keys', () => {
  const open = (highlight: number, count = 3): SuggestionKeyState => ({ open: true, highlight, count, completion: false });
  const closed = (completion: boolean): SuggestionKeyState => ({ open: false, highlight: 0, count: 3, completion });
  it.each([
    ['down moves', open(0), 'ArrowDown', { kind: 'highlight', index: 1 }, true, false],
    ['down wraps', open(2), 'ArrowDown', { kind: 'highlight', index: 0 }, true, false],
    ['up wraps', open(0), 'ArrowUp', { kind: 'highlight', index: 2 }, true, false],
    ['arrows pass with the list closed', closed(false), 'ArrowDown', { kind: 'none' }, false, true],
    ['escape closes', open(1), 'Escape', { kind: 'close' }, true, false],
    ['escape with the list closed drops a pending search and passes', closed(false), 'Escape', { kind: 'close' }, false, true],
    ['enter chooses the highlighted entry, then the editor moves', open(1), 'Enter', { kind: 'choose', index: 1 }, false, true],
    ['enter takes the completion', closed(true), 'Enter', { kind: 'choose', index: 0 }, false, true],
    ['enter otherwise closes', closed(false), 'Enter', { kind: 'close' }, false, true],
    ['tab takes the completion and stays', closed(true), 'Tab', { kind: 'choose', index: 0 }, true, false],
    ['tab without completion moves on', closed(false), 'Tab', { kind: 'none' }, false, true],
    ['other keys pass', open(0), 'a', { kind: 'none' }, false, true],
  ])('%s', (_name, state, key, effect, preventDefault, passOn) => {
    expect(suggestionKey(state, key)).toEqual({ effect, preventDefault, passOn });
  });
});

describe('list entries', () => {
  it.each([
    [item({}), { unit: '(м³)', type: '', usage: '' }],
    [item({ unit: null, line_type: 'fixed', usage_count: 12 }), { unit: '', type: 'Фикс. сумма', usage: '×12' }],
    [item({ line_type: 'quantity_only', unit: '' }), { unit: '', type: 'Без цены', usage: '' }],
  ])('%o', (it_, expected) => {
    expect(entryParts(it_)).toEqual({ name: it_.name, ...expected });
  });
});
