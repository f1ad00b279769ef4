// @vitest-environment jsdom
import { beforeEach, describe, expect, it, vi } from 'vitest';

const invoke = vi.fn();
const pickSaveFile = vi.fn();
const askConfirm = vi.fn();
let desktop = false;
vi.mock('../platform', async (original) => ({
  ...(await original<typeof import('../platform')>()),
  invoke: (...a: unknown[]) => invoke(...a),
  pickSaveFile: (...a: unknown[]) => pickSaveFile(...a),
  askConfirm: (...a: unknown[]) => askConfirm(...a),
  hasNativeDialogs: () => desktop,
}));

const { chooseSavePath, replaceQuestion } = await import('./savePlace');
const { forceExtension, folderOf, fileNameOf } = await import('./fileNames');
const { pathInFolder } = await import('../platform/dialogs');

/** A file system with these files, answering the two save-place commands. */
function files(existing: string[]) {
  invoke.mockReset().mockImplementation(async (command: string, args: { path?: string }) => {
    if (command === 'documents_folder') return '/home/u/Documents';
    if (command === 'file_exists') return existing.includes(args.path ?? '');
    throw new Error(`unexpected ${command}`);
  });
}

const xlsx = { defaultName: 'Смета.xlsx', filters: [{ name: 'Книга Excel', extensions: ['xlsx'] }], finalPath: (p: string) => forceExtension(p, 'xlsx') };

describe('choosing where to save', () => {
  beforeEach(() => {
    localStorage.clear();
    desktop = false;
    pickSaveFile.mockReset();
    askConfirm.mockReset();
  });

  it('starts in the documents folder, then in the folder used last', async () => {
    files([]);
    pickSaveFile.mockResolvedValue('/srv/out/a.xlsx');
    expect(await chooseSavePath(xlsx)).toBe('/srv/out/a.xlsx');
    expect(pickSaveFile).toHaveBeenLastCalledWith(expect.objectContaining({ folder: '/home/u/Documents', defaultName: 'Смета.xlsx' }));
    await chooseSavePath(xlsx);
    expect(pickSaveFile).toHaveBeenLastCalledWith(expect.objectContaining({ folder: '/srv/out' }));
    expect(askConfirm).not.toHaveBeenCalled();
  });

  it.each([
    ['browser, existing file, "no"', false, '/d/Смета.xlsx', false, null, true],
    ['browser, existing file, "yes"', false, '/d/Смета.xlsx', true, '/d/Смета.xlsx', true],
    ['desktop, its own dialog asked already', true, '/d/Смета.xlsx', false, '/d/Смета.xlsx', false],
    ['desktop, the forced extension lands on an existing file, "no"', true, '/d/Смета', false, null, true],
  ])('%s', async (_case, onDesktop, chosen, consent, result, asked) => {
    desktop = onDesktop;
    files(['/d/Смета.xlsx']);
    pickSaveFile.mockResolvedValue(chosen);
    askConfirm.mockResolvedValue(consent);
    expect(await chooseSavePath(xlsx)).toBe(result);
    if (asked) expect(askConfirm).toHaveBeenCalledWith('Файл «Смета.xlsx» уже есть. Заменить его?');
    else expect(askConfirm).not.toHaveBeenCalled();
    // A declined replacement is no save: the folder is not remembered.
    expect(localStorage.getItem('calcora.saveFolder')).toBe(result ? '/d' : null);
  });

  it('a cancelled dialog asks nothing more', async () => {
    files([]);
    pickSaveFile.mockResolvedValue(null);
    expect(await chooseSavePath(xlsx)).toBeNull();
    expect(invoke).not.toHaveBeenCalledWith('file_exists', expect.anything());
  });
});

describe('path pieces', () => {
  it.each([
    ['/home/u/a.xlsx', '/home/u', 'a.xlsx'],
    ['/a.xlsx', '/', 'a.xlsx'],
    ['C:\\Users\\u\\Смета.pdf', 'C:\\Users\\u', 'Смета.pdf'],
    ['C:\\Смета.pdf', 'C:\\', 'Смета.pdf'],
    ['Смета.pdf', '', 'Смета.pdf'],
  ])('%s is in %j and named %j', (path, folder, name) => {
    expect(folderOf(path)).toBe(folder);
    expect(fileNameOf(path)).toBe(name);
    expect(pathInFolder(folder, name)).toBe(path);
    expect(replaceQuestion(path)).toBe(`Файл «${name}» уже есть. Заменить его?`);
  });
});
