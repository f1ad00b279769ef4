// @vitest-environment jsdom
import { beforeEach, describe, expect, it, vi } from 'vitest';

const invoke = vi.fn();
const navigate = vi.fn();
vi.mock('../platform', async (original) => ({ ...(await original<typeof import('../platform')>()), invoke: (...a: unknown[]) => invoke(...a) }));
vi.mock('../router/router', async (original) => ({ ...(await original<typeof import('../router/router')>()), navigate: (p: string) => navigate(p) }));

const { droppedPath, openEstimateFile } = await import('./openEstimate');
const { readRecent } = await import('./recent');

describe('opening an estimate file', () => {
  beforeEach(() => {
    localStorage.clear();
    invoke.mockReset();
    navigate.mockReset();
    invoke.mockImplementation(async (command: string) =>
      command === 'import_estimate_clcx' ? { estimate: { id: 41, object_name: 'Баня' }, lines: [], footer: {} } : 42,
    );
  });

  it.each([
    ['/in/Баня.CLCX', true, 'import_estimate_clcx', '/editor/41', 1],
    ['/in/Баня.clcx', false, 'import_estimate_clcx', '/editor/41', 0],
    ['C:\\in\\Дом.xlsx', true, 'import_estimate_xlsx', '/editor/42', 0],
  ])('%s (remember %s) → %s, %s, %d recent', async (path, remember, command, target, recent) => {
    expect(await openEstimateFile(path, remember)).toBe(true);
    expect(invoke).toHaveBeenCalledWith(command, { path });
    expect(navigate).toHaveBeenCalledWith(target);
    expect(readRecent()).toHaveLength(recent);
  });

  it.each(['/in/notes.txt', '/in/.clcx', '/in/folder.clcx/readme', '/in/book.xls'])('leaves %s alone', async (path) => {
    expect(await openEstimateFile(path, true)).toBe(false);
    expect(invoke).not.toHaveBeenCalled();
    expect(navigate).not.toHaveBeenCalled();
  });

  it('fails without a recent entry or a move when the import fails, naming the file', async () => {
    invoke.mockRejectedValue(new Error('invalid gzip header'));
    await expect(openEstimateFile('/in/a.clcx', true)).rejects.toThrow('Файл повреждён или это не файл Calcora: /in/a.clcx (invalid gzip header)');
    expect(readRecent()).toEqual([]);
    expect(navigate).not.toHaveBeenCalled();
  });

  it('says that a CSV file goes into the catalog', async () => {
    await expect(openEstimateFile('/in/прайс.CSV', false)).rejects.toThrow('CSV-файлы загружаются в справочник');
    expect(invoke).not.toHaveBeenCalled();
  });
});

describe('dropped paths', () => {
  it.each([
    [['/a.clcx', '/b.xlsx'], '/a.clcx'],
    [['/dir/'], null],
    [[], null],
    [null, null],
    [[5], null],
  ])('%j → %j', (payload, expected) => {
    expect(droppedPath(payload)).toBe(expected);
  });
});
