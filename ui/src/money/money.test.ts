import { describe, expect, it } from 'vitest';
import { formatLineSum, formatMoney } from './money';

describe('money', () => {
  it.each([
    [1234567.5, '1 234 567,5'],
    [0.1, '0,1'],
    [0, '0'],
    [1000, '1 000'],
    [2.675, '2,68'],
    [1.005, '1,01'],
    [-1.005, '-1,01'],
    [0.125, '0,13'],
    [-0.001, '0'],
    [-8270, '-8 270'],
    [99.999, '100'],
    [Number.NaN, '0'],
    [null, '0'],
    [0.1 + 0.2, '0,3'],
    [1.1 * 1.15, '1,27'],
    [271935.67000000004, '271 935,67'],
    [1.2e21, '1 200 000 000 000 000 000 000'],
  ])('%s shows as %s', (value, text) => {
    expect(formatMoney(value)).toBe(text);
  });

  it.each([
    [1500, '1 500,00'],
    [0.5, '0,50'],
    [1234567.456, '1 234 567,46'],
    [-2.5, '-2,50'],
  ])('line sum %s shows as %s', (value, text) => {
    expect(formatLineSum(value)).toBe(text);
  });
});
