import { describe, expect, it } from 'vitest';
import { guessCategory, nextCategory } from './category';

describe('category guess', () => {
  it.each([
    ['Аренда экскаватора', 'equipment'],
    ['Монтаж крана', 'equipment'],
    ['Подкрановая балка', 'equipment'],
    ['Штукатурка стен', 'work'],
    ['Смесь штукатурная', 'material'],
    ['Бетон М300', 'material'],
    ['МОНТАЖ ОКОН', 'work'],
    ['   ', 'work'],
    ['', 'work'],
  ])('%s gives %s', (name, expected) => {
    expect(guessCategory(name)).toBe(expected);
  });

  it.each([
    ['work', 'material'],
    ['material', 'equipment'],
    ['equipment', 'work'],
    ['', 'material'],
    ['нечто', 'material'],
  ])('after %j comes %s', (from, to) => {
    expect(nextCategory(from)).toBe(to);
  });
});
