import { describe, expect, it } from 'vitest';
import { FULL_UNITS, normalizeUnit, offeredUnits, SHORT_UNITS, UNIT_SYNONYMS } from './units';

describe('units', () => {
  it('has the lists and synonyms of the product', () => {
    expect(SHORT_UNITS).toHaveLength(15);
    expect(FULL_UNITS).toHaveLength(96);
    expect(new Set(FULL_UNITS).size).toBe(96);
    expect(UNIT_SYNONYMS.size).toBe(41);
  });

  it.each([
    ['Кв.М.', 'м²'],
    ['ВТ', 'Вт'],
    ['м2 ', 'м²'],
    ['квт', 'кВт'],
    ['КВТ*Ч', 'кВт·ч'],
    ['маш.-ч', 'маш-час'],
    ['  рейсов ', 'рейсов'],
    ['Ящик', 'Ящик'],
    ['   ', ''],
  ])('%j is stored as %j', (typed, stored) => {
    expect(normalizeUnit(typed)).toBe(stored);
  });

  it.each([
    ['', false, SHORT_UNITS],
    ['кг', false, SHORT_UNITS],
    ['кв.м', false, SHORT_UNITS],
    ['к', false, ['компл', 'кг', 'упак']],
    ['рейсов', false, SHORT_UNITS],
    ['кВт', true, FULL_UNITS],
    ['МВТ', true, ['МВт·ч']],
  ])('typing %j (full list %s) offers', (text, full, expected) => {
    expect(offeredUnits(text, full)).toEqual(expected);
  });
});
