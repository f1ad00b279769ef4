import { describe, expect, it } from 'vitest';
import { fileExtension, forceExtension, safeFileName } from './fileNames';

describe('safeFileName', () => {
  it.each([
    ['???', 'smeta'],
    ['', 'smeta'],
    ['  . . ', 'smeta'],
    ['NUL', 'smeta-NUL'],
    ['com7', 'smeta-com7'],
    ['lpt0', 'lpt0'],
    ['Нулевой цикл', 'Нулевой цикл'],
    ['Дом <Лесная>: этап 1/2', 'Дом Лесная этап 1 2'],
    ['a\u0000b\tc\nd\u001f', 'a b c d'],
    ['Смета...', 'Смета'],
    ['  Баня  6×4 . ', 'Баня 6×4'],
    ['con.txt', 'con.txt'],
  ])('%j → %j', (input, expected) => {
    expect(safeFileName(input)).toBe(expected);
  });

  it('cuts 200 letters to 120, counting characters rather than UTF-16 units', () => {
    expect(safeFileName('ж'.repeat(200))).toBe('ж'.repeat(120));
    expect(safeFileName('𝔸'.repeat(130))).toBe('𝔸'.repeat(120));
  });
});

describe('forceExtension', () => {
  it.each([
    ['/home/u/offer.txt', 'xlsx', '/home/u/offer.xlsx'],
    ['/home/u/offer', 'xlsx', '/home/u/offer.xlsx'],
    ['/home/u/.offer', 'xlsx', '/home/u/.offer.xlsx'],
    ['/home/u/offer.xlsx', 'xlsx', '/home/u/offer.xlsx'],
    ['/home/u/report.pdf', 'xlsx', '/home/u/report.xlsx'],
    ['/home/my.docs/offer', 'csv', '/home/my.docs/offer.csv'],
    ['C:\\Users\\my.docs\\offer', 'clcx', 'C:\\Users\\my.docs\\offer.clcx'],
    ['C:\\Users\\a.b\\смета.v2.txt', 'pdf', 'C:\\Users\\a.b\\смета.v2.pdf'],
    ['offer', 'pdf', 'offer.pdf'],
  ])('%s as %s → %s', (path, ext, expected) => {
    expect(forceExtension(path, ext)).toBe(expected);
  });
});

describe('fileExtension', () => {
  it.each([
    ['/tmp/a.clcx', 'clcx'],
    ['/tmp/A.CLCX', 'clcx'],
    ['C:\\x\\Смета.Xlsx', 'xlsx'],
    ['/tmp/.clcx', ''],
    ['/tmp/archive.tar.gz', 'gz'],
    ['/tmp/my.folder/readme', ''],
    ['C:\\my.folder\\readme', ''],
    ['/tmp/notes.txt', 'txt'],
    ['/tmp/dir/', ''],
  ])('%s → %j', (path, expected) => {
    expect(fileExtension(path)).toBe(expected);
  });
});
