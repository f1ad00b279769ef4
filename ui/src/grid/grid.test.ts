import { describe, expect, it } from 'vitest';
import type { EstimateLine } from '../model/types';
import { gridTemplate, resizedWidth, shownColumns } from './columns';
import { editorCommand, enterInCell, focusAfterRemove, navigationKey, type GridFocus, type GridShape } from './keyboard';
import { applyFormatTool, duplicateLine, fillDown, rowShown, switchLineType, toggleBold } from './lineEdits';
import { isNumberText, numberDisplay, numberOfText, typedNumberText } from './numberText';
import { safePrintTitle } from './printTitle';
import { indexAfterMove, isDrag, moveItem } from './reorder';
import { hitLabel, hitRow, searchHits } from './search';
import { lineToTsv, parseTsv, readPastedNumber, rowsToLines } from './tsv';
import { readZoom } from './zoom';
import { defaultColumns } from '../settings/settings';

const line = (l: Partial<EstimateLine>): EstimateLine => ({ estimate_id: 1, sort_order: 0, line_type: 'full', name: '', ...l });

describe('number cell text', () => {
  // Each keystroke makes a new text; the cell keeps it only when it is still a number being typed.
  it.each([
    ['2,5', true, 2.5],
    ['-', true, undefined],
    ['-3', true, -3],
    ['', true, undefined],
    ['.', true, undefined],
    ['.5', true, 0.5],
    ['12.', true, 12],
    ['2,5,', false, undefined],
    ['1.2.3', false, undefined],
    ['12a', false, undefined],
    ['--1', false, undefined],
    ['1-', false, undefined],
    [' 1', false, undefined],
  ])('%s accepted: %s, reads as %s', (typed, accepted, value) => {
    const text = typedNumberText(typed);
    expect(isNumberText(text)).toBe(accepted);
    if (accepted) expect(numberOfText(text)).toBe(value);
  });

  it.each([
    [2.5, '2.5'],
    [-3, '-3'],
    [0, '0'],
    [null, ''],
    [undefined, ''],
  ])('%s shows as "%s" without focus', (value, shown) => {
    expect(numberDisplay(value)).toBe(shown);
  });
});

describe('keyboard model', () => {
  const shape: GridShape = { types: ['full', 'fixed', 'section', 'quantity_only', 'full'] };
  const at = (row: number, col: GridFocus['col'], editing = false): GridFocus => ({ row, col, editing });

  it.each([
    // focus, key, expected focus (null: not the grid's key)
    [at(0, 0), 'F2', at(0, 0, true)],
    [at(0, 2), 'Enter', at(0, 2, true)],
    [at(0, 2, true), 'Enter', null],
    [at(0, 3), 'ArrowDown', at(1, 0, true)],
    [at(4, 1), 'ArrowDown', at(4, 1, true)],
    [at(0, 1), 'ArrowUp', at(0, 1, true)],
    [at(3, 2), 'ArrowUp', at(2, 0, true)],
    [at(0, 0), 'ArrowRight', at(0, 1, true)],
    [at(0, 3), 'ArrowRight', at(0, 3, true)],
    [at(1, 0), 'ArrowRight', at(1, 4, true)],
    [at(1, 4), 'ArrowLeft', at(1, 0, true)],
    [at(0, 0), 'ArrowLeft', at(0, 0, true)],
    [at(0, 0), 'a', null],
  ] as const)('%o + %s → %o', (focus, key, expected) => {
    const result = navigationKey(focus, key, shape);
    expect(result && result.focus).toEqual(expected);
  });

  it('skips rows hidden by the filter', () => {
    const hidden = (r: number) => r === 1 || r === 2;
    expect(navigationKey(at(0, 0), 'ArrowDown', { ...shape, hidden })?.focus.row).toBe(3);
    expect(navigationKey(at(3, 0), 'ArrowUp', { ...shape, hidden })?.focus.row).toBe(0);
    expect(enterInCell(0, 3, { ...shape, hidden }).focus).toEqual(at(3, 0, true));
  });

  it.each([
    [0, 0, { focus: at(0, 1, true), leavesRow: false, append: false }],
    [0, 3, { focus: at(1, 0, true), leavesRow: true, append: false }],
    // A fixed line has only name and sum.
    [1, 4, { focus: at(2, 0, true), leavesRow: true, append: false }],
    [3, 2, { focus: at(4, 0, true), leavesRow: true, append: false }],
    // After the last row a new line is appended and its name edited.
    [4, 3, { focus: at(5, 0, true), leavesRow: true, append: true }],
  ] as const)('Enter in row %s column %s', (row, col, expected) => {
    expect(enterInCell(row, col, shape)).toEqual(expected);
  });

  it.each([
    [at(3, 2, true), 3, 5, at(3, 0)],
    [at(5, 2, true), 5, 5, at(4, 0)],
    [at(4, 1, true), 2, 5, at(3, 1, true)],
    [at(1, 1, true), 2, 5, at(1, 1, true)],
    [at(0, 1, true), 0, 0, at(0, 0)],
  ] as const)('focus %o after removing row %s (%s rows left)', (focus, removed, left, expected) => {
    expect(focusAfterRemove(focus, removed, left)).toEqual(expected);
  });

  const chord = (key: string, mods: Partial<{ ctrl: boolean; meta: boolean; shift: boolean; alt: boolean; composing: boolean; code: string }> = {}) => ({
    key, code: mods.code, ctrlKey: !!mods.ctrl, metaKey: !!mods.meta, shiftKey: !!mods.shift, altKey: !!mods.alt, isComposing: !!mods.composing,
  });
  it.each([
    [chord('s', { ctrl: true }), 'save'],
    [chord('s', { meta: true }), 'save'],
    [chord('z', { ctrl: true }), 'undo'],
    [chord('Z', { ctrl: true, shift: true }), 'redo'],
    [chord('y', { ctrl: true }), 'redo'],
    [chord('я', { ctrl: true, code: 'KeyZ' }), 'undo'],
    [chord('f', { ctrl: true }), 'find'],
    [chord('D', { ctrl: true, shift: true }), 'duplicate'],
    [chord('d', { meta: true }), 'fillDown'],
    [chord('c', { ctrl: true }), 'copy'],
    [chord('b', { ctrl: true }), 'bold'],
    [chord('d', { ctrl: true, composing: true }), null],
    [chord('Process', { ctrl: true }), null],
    [chord('d', {}), null],
    [chord('s', { ctrl: true, alt: true }), null],
  ] as const)('%o → %s', (e, expected) => {
    expect(editorCommand(e)).toBe(expected);
  });
});

describe('line edits', () => {
  const lines = [
    line({ name: 'Кладка', unit: 'м²', quantity: 12, unit_price: 900, id: 5 }),
    line({ name: 'Кирпич', unit: 'шт', quantity: 3 }),
    line({ name: '', unit: 'шт' }),
    line({ name: 'Раствор', line_type: 'fixed', fixed_total: 100 }),
  ];

  it('fills down from the row above, nothing in row 0', () => {
    expect(fillDown(lines, 0, 2)).toBeNull();
    expect(fillDown(lines, 1, 2)![1].quantity).toBe(12);
    expect(fillDown(lines, 3, 0)![3].name).toBe('');
    // An absent value above leaves the field absent.
    expect(fillDown(lines, 3, 4)![3]).not.toHaveProperty('fixed_total');
    expect(fillDown(lines, 1, 2)![0]).toBe(lines[0]);
  });

  it('duplicates below, without id, marking named copies', () => {
    const out = duplicateLine(lines, 0);
    expect(out.map((l) => l.name)).toEqual(['Кладка', 'Кладка (копия)', 'Кирпич', '', 'Раствор']);
    expect(out[1]).not.toHaveProperty('id');
    expect(out.map((l) => l.sort_order)).toEqual([0, 1, 2, 3, 4]);
    expect(duplicateLine(lines, 2)[3].name).toBe('');
  });

  it.each([
    [line({ name: 'Песок', category: 'material' }), 'material', true],
    [line({ name: 'Песок', category: 'material' }), 'work', false],
    [line({ name: 'Кладка', category: '' }), 'work', true],
    [line({ name: 'Раздел', line_type: 'section' }), 'material', true],
    [line({ name: '  ', category: 'work' }), 'equipment', true],
  ] as const)('%o shown with filter %s: %s', (l, filter, shown) => {
    expect(rowShown(l, filter)).toBe(shown);
  });

  it.each([
    ['full → fixed: quantity × price', line({ unit: 'шт', quantity: 1, unit_price: 2500 }), 'fixed', { fixed_total: 2500 }],
    ['full → fixed, to the kopeck', line({ quantity: 21.28, unit_price: 3.1 }), 'fixed', { fixed_total: 65.97 }],
    ['fixed → full: 1 × the sum', line({ line_type: 'fixed', unit: null, fixed_total: 6500 }), 'full', { quantity: 1, unit_price: 6500, unit: 'шт' }],
    ['fixed → full keeps a unit', line({ line_type: 'fixed', unit: 'компл', fixed_total: 6500 }), 'full', { quantity: 1, unit_price: 6500, unit: 'компл' }],
    ['fixed → quantity only', line({ line_type: 'fixed', fixed_total: 10 }), 'quantity_only', { quantity: 1, unit: 'шт' }],
    ['full → quantity only keeps its numbers', line({ quantity: 3, unit_price: 7 }), 'quantity_only', { quantity: 3, unit_price: 7 }],
  ] as const)('a type switch keeps the money: %s', (_name, l, type, expected) => {
    expect(switchLineType(l, type)).toMatchObject({ line_type: type, ...expected });
  });

  it('format tools write the own keys with the shown bold; Ctrl+B flips both', () => {
    const l = line({ name: 'A', name_bold: true, format_json: '{"size":14}' });
    expect(applyFormatTool(l, { align: 'center' })).toMatchObject({ format_json: '{"size":14,"bold":true,"align":"center"}', name_bold: true });
    expect(toggleBold(l)).toMatchObject({ format_json: '{"size":14}', name_bold: false });
    expect(toggleBold(line({ name: 'B' }))).toMatchObject({ format_json: '{"bold":true}', name_bold: true });
    expect(applyFormatTool(line({ name: 'C' }), { fill: null })).toMatchObject({ format_json: null, name_bold: false });
  });
});

describe('TSV', () => {
  it.each([
    [line({ name: 'Кладка', unit: 'м²', quantity: 2.5, unit_price: 900, category: 'work' }), 'Кладка\tм²\t2.5\t900\t\twork\tfull'],
    [line({ name: 'Труба 1"', unit: null, line_type: 'fixed', fixed_total: 10 }), '"Труба 1"""\t\t\t\t10\t\tfixed'],
    [line({ name: 'a\tb\nc' }), '"a\tb\nc"\t\t\t\t\t\tfull'],
  ])('%o copies as %j', (l, text) => {
    expect(lineToTsv(l)).toBe(text);
  });

  it.each([
    ['a\tb\nc\td\n', [['a', 'b'], ['c', 'd']]],
    ['a\r\nb', [['a'], ['b']]],
    ['"x\ty"\t"he said ""hi"""\tz', [['x\ty', 'he said "hi"', 'z']]],
    ['"two\nlines"\t1', [['two\nlines', '1']]],
    ['a\t\t', [['a', '', '']]],
    ['\n\n', [[''], ['']]],
  ])('parses %j', (text, rows) => {
    expect(parseTsv(text)).toEqual(rows);
  });

  it.each([
    ['2,5', 2.5],
    ['1 234,50', 1234.5],
    ['1\u00a0000', 1000],
    ['-3', -3],
    ['.5', 0.5],
    ['abc', undefined],
    ['', undefined],
    ['1,2,3', undefined],
  ])('reads the pasted number %j as %s', (text, value) => {
    expect(readPastedNumber(text)).toBe(value);
  });

  it('a copied line pastes back identical; spreadsheet rows and bare names make lines', () => {
    const original = [
      line({ name: 'Кладка "в полкирпича"', unit: 'м²', quantity: 2.5, unit_price: 900, category: 'work' }),
      line({ name: 'Выезд', unit: null, line_type: 'fixed', fixed_total: 1500, category: 'equipment' }),
      line({ name: 'Этап\t1', unit: '', line_type: 'section', category: 'work' }),
    ];
    for (const l of original) expect(rowsToLines(parseTsv(lineToTsv(l)), 1)).toEqual([l]);

    const pasted = rowsToLines(parseTsv('Песок\tм³\t2,5\t1 200\nКладка кирпича\n\nКабель\tм\t\t\n'), 9);
    expect(pasted).toEqual([
      { estimate_id: 9, sort_order: 0, line_type: 'full', name: 'Песок', unit: 'м³', quantity: 2.5, unit_price: 1200, category: 'material' },
      { estimate_id: 9, sort_order: 0, line_type: 'full', name: 'Кладка кирпича', unit: 'шт', quantity: 1, unit_price: 0, category: 'work' },
      { estimate_id: 9, sort_order: 0, line_type: 'full', name: 'Кабель', unit: 'м', category: 'material' },
    ]);
  });
});

describe('reorder', () => {
  it('drops a row dragged down below the target and one dragged up above it', () => {
    expect(moveItem([0, 1, 2, 3, 4, 5, 6], 2, 5)).toEqual([0, 1, 3, 4, 5, 2, 6]);
    expect(moveItem([0, 1, 2, 3, 4, 5, 6], 5, 2)).toEqual([0, 1, 5, 2, 3, 4, 6]);
    expect(moveItem([0, 1], 0, 9)).toEqual([0, 1]);
  });
  it.each([
    [2, 2, 5, 5],
    [3, 2, 5, 2],
    [5, 2, 5, 4],
    [6, 2, 5, 6],
    [2, 5, 2, 3],
    [1, 5, 2, 1],
  ])('row %s after moving %s → %s is %s', (index, from, to, expected) => {
    expect(indexAfterMove(index, from, to)).toBe(expected);
  });
  it.each([
    [100, 105, false],
    [100, 106, true],
    [100, 94, true],
  ])('press at %s, pointer at %s: drag %s', (a, b, drag) => {
    expect(isDrag(a, b)).toBe(drag);
  });
});

describe('search, zoom, print title, columns', () => {
  const names = ['Кладка', 'Раздел: КЛАДКА', 'Песок', 'Кладка (копия)'].map((name) => ({ name }));
  it.each([
    ['кладка', [0, 1, 3], 0, '1/3', 0],
    ['  КЛАД ', [0, 1, 3], 1, '2/3', 1],
    ['кладка', [0, 1, 3], 4, '2/3', 1],
    ['бетон', [], 0, '0', null],
    ['   ', [], 0, null, null],
  ])('"%s" hits %o; index %s labels %s', (text, hits, index, label, row) => {
    expect(searchHits(names, text)).toEqual(hits);
    expect(hitLabel(text, hits.length, index)).toBe(label);
    expect(hitRow(hits, index)).toBe(row === null ? null : hits[row]);
  });

  it.each([
    [null, 100],
    ['137', 140],
    ['134', 130],
    ['20', 50],
    ['900', 200],
    ['abc', 100],
    ['', 100],
    ['75.5', 80],
  ])('stored zoom %s reads as %s', (stored, zoom) => {
    expect(readZoom(stored)).toBe(zoom);
  });

  it.each([
    ['Дом: этаж 1/2', 'Дом- этаж 1-2'],
    ['  ', 'Смета'],
    ['  *?  ', '--'],
    ['a<b>"c"|d%e\\f', 'a-b--c--d-e-f'],
  ])('print title of %j is %j', (name, title) => {
    expect(safePrintTitle(name)).toBe(title);
  });

  it('shows article and cost only with the mode, and clamps resizing', () => {
    const cols = defaultColumns();
    expect(shownColumns(cols, false).map((c) => c.id)).toEqual(['num', 'name', 'unit', 'qty', 'price', 'total', 'type', 'actions']);
    expect(shownColumns(cols, true)).toHaveLength(10);
    expect(gridTemplate(shownColumns(cols, false))).toBe('44px minmax(160px, 1fr) 88px 80px 88px 88px 96px 44px');
    expect(resizedWidth(88, 600, 100)).toBe(480);
    expect(resizedWidth(88, -100, 100)).toBe(32);
    expect(resizedWidth(88, 56, 200)).toBe(116);
  });
});
