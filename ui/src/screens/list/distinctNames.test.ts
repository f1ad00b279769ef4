import { describe, expect, it } from 'vitest';
import { distinctNames } from './distinctNames';

describe('names the estimate list shows', () => {
  it.each([
    ['three imports of one file, newest first', [[9, 'Дом'], [5, 'Дом'], [7, 'Дом'], [6, 'Баня']], { 5: 'Дом', 7: 'Дом (2)', 9: 'Дом (3)', 6: 'Баня' }],
    ['a name that is already taken is skipped', [[1, 'Дом'], [2, 'Дом (2)'], [3, 'Дом']], { 1: 'Дом', 2: 'Дом (2)', 3: 'Дом (3)' }],
    ['unnamed estimates', [[1, ''], [2, '']], { 1: 'Без названия', 2: 'Без названия (2)' }],
    ['letter case tells names apart already', [[1, 'дом'], [2, 'Дом']], { 1: 'дом', 2: 'Дом' }],
  ] as const)('%s', (_what, items, expected) => {
    const shown = distinctNames(items.map(([id, object_name]) => ({ id, object_name })));
    expect(Object.fromEntries(shown)).toEqual(expected);
  });
});
