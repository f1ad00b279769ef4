import { describe, expect, it } from 'vitest';
import { plainNumber, roundQuantity, spreadsheetValue, withinNumberLimit } from './numberText';

describe('numbers as text', () => {
  // A grand total of 44 lines, each with a price that binary cannot hold exactly.
  const grandTotal = Array.from({ length: 44 }, (_, i) => 19.35 * (i + 1) * 1.1).reduce((a, b) => a + b, 0);

  it.each([
    [0.1 + 0.2, '0.3'],
    [45 * 1.1, '49.5'],
    [19.35 * 1.1, '21.285'],
    [21.280000000000005, '21.28'],
    [9576.000000000002, '9576'],
    [271935.67000000004, '271935.67'],
    [grandTotal, '21072.15'],
    [1500, '1500'],
    [-20, '-20'],
    [1234.5, '1234.5'],
    [0.0000001, '0.0000001'],
    [1e21, '1000000000000000000000'],
    [-0, '0'],
    [123456789012.345, '123456789012.345'],
    [null, ''],
    [Number.NaN, ''],
    [Number.POSITIVE_INFINITY, ''],
  ])('%s is written %s', (value, text) => {
    expect(plainNumber(value)).toBe(text);
  });

  it('reads back as the value rounded to 15 significant digits', () => {
    for (const v of [0.1 + 0.2, 45 * 1.1, grandTotal, 1 / 3, 2 / 3, 1e-9 / 3, 987654.3210987654]) {
      expect(Number(plainNumber(v))).toBe(spreadsheetValue(v));
    }
  });

  it.each([
    [49.50000000000001, 49.5],
    [1 / 3, 0.333333333],
    [-2 / 3, -0.666666667],
    [1e-10, 0],
    [-1e-10, 0],
    [123456.0000000004, 123456],
  ])('a formula quantity %s is stored as %s', (value, stored) => {
    expect(Object.is(roundQuantity(value), stored)).toBe(true);
  });

  it.each([
    [1e12, true],
    [-1e12, true],
    [1e12 + 1, false],
    [99999999999999999999, false],
    [Number.NaN, false],
  ])('the limit takes %s: %s', (value, taken) => {
    expect(withinNumberLimit(value)).toBe(taken);
  });
});
