import { describe, expect, it } from 'vitest';
import type { EstimateLine } from '../../../model/types';
import { electricSummary, readCalcNumber, roomSummary, stripSummary } from './calcSummary';
import { appendLineQuantity, appendOperator, appendWalls, lineButtons } from './formulaButtons';
import { formulaBlocks } from './formulaBlocks';

const line = (id: number | undefined, name = `Строка ${id}`): EstimateLine => ({ id, estimate_id: 1, sort_order: 0, line_type: 'full', name });
const lines = [line(40), line(41), line(undefined, ''), line(43, '')];

describe('formula blocks', () => {
  it.each([
    ['стены * 1.05', 'стены|*|1.05'],
    ['line:41.qty * 2 + line:40.price', 'строка2.колво|*|2|+|строка1.цена'],
    ['line:99.qty', 'строка99.колво'],
    ['(1 + 2) * 3', '(|1|+|2|)|*|3'],
    ['5 - (2 - 1)', '5|-|(|2|-|1|)'],
    ['1 + 2 * 3', '1|+|2|*|3'],
    ['-пол', '-1|*|пол'],
    ['', ''],
    ['2 +', ''],
  ])('%j', (formula, expected) => {
    expect(formulaBlocks(formula, lines).map((b) => b.text).join('|')).toBe(expected);
  });
});

describe('formula buttons', () => {
  it.each([
    ['operator on empty', appendOperator('', '+'), '+ '],
    ['operator on blank', appendOperator('   ', '*'), '* '],
    ['operator after trimmed formula', appendOperator(' стены  ', '/'), 'стены / '],
    ['walls alone', appendWalls(null), 'стены'],
    ['walls after formula', appendWalls('2 '), '2 * стены'],
    ['line reference alone', appendLineQuantity('', 41), 'line:41.qty'],
    ['line reference after formula', appendLineQuantity('стены ', 41), 'стены * line:41.qty'],
  ])('%s', (_name, actual, expected) => {
    expect(actual).toBe(expected);
  });

  it('offers the other lines that have an id, with the name as tooltip', () => {
    expect(lineButtons(lines, 0)).toEqual([
      { id: 41, label: 'строка2', title: 'Строка 41' },
      { id: 43, label: 'строка4', title: 'строка 4' },
    ]);
  });
});

describe('calculator results', () => {
  it('room 4 × 3 × 2.7 with a door 0.9 × 2.1', () => {
    const text = roomSummary({ room: { L: 4, W: 3, H: 2.7, doors: [{ w: 0.9, h: 2.1, count: 1 }], windows: [] } });
    // 14 * 2.7 - 0.9 * 2.1 is 35.910000000000004 in binary: the line shows it as spreadsheets do.
    expect(text).toBe('стены 35.91, пол 12, периметр 14');
  });

  it('zeros for calculators not yet filled, plain values otherwise', () => {
    expect(roomSummary({})).toBe('стены 0, пол 0, периметр 0');
    expect(stripSummary({ strip: { length: 10, width: 0.4, height: 1 } })).toBe('бетон 4, опалубка 28');
    expect(electricSummary({ electric: { sockets: 12, lamps: 5, cable: 150.5 } })).toBe('точки 17, кабель 150.5');
  });

  it.each([['2.5', 2.5], ['2,5', 2.5], ['', 0], ['abc', 0], ['-3', -3], ['1e400', 0]])('field %j reads %d', (text, n) => {
    expect(readCalcNumber(text)).toBe(n);
  });
});
