// @vitest-environment jsdom
import { beforeEach, describe, expect, it, vi } from 'vitest';

const calls: string[] = [];
const invoke = vi.fn();
const pickOpenFile = vi.fn();
const pickSaveFile = vi.fn();
const askConfirm = vi.fn();
vi.mock('../platform', async (original) => ({
  ...(await original<typeof import('../platform')>()),
  invoke: (...a: unknown[]) => invoke(...a),
  pickOpenFile: (...a: unknown[]) => pickOpenFile(...a),
  pickSaveFile: (...a: unknown[]) => pickSaveFile(...a),
  askConfirm: (...a: unknown[]) => askConfirm(...a),
}));

const { restoreBackup, saveBackup } = await import('./backup');
const { estimateStore } = await import('../estimateStore');

describe('backup and restore', () => {
  beforeEach(() => {
    calls.length = 0;
    invoke.mockReset().mockImplementation(async (command: string) => void calls.push(command));
    vi.spyOn(estimateStore, 'unload').mockImplementation(async () => void calls.push('unload'));
    vi.spyOn(estimateStore, 'flush').mockImplementation(async () => void calls.push('flush'));
    pickOpenFile.mockReset().mockResolvedValue('/b/copy.db');
    pickSaveFile.mockReset().mockResolvedValue('/b/new.db');
    askConfirm.mockReset().mockResolvedValue(true);
  });

  it('saves the pending edit first and proposes the UTC date in the folder used last', async () => {
    localStorage.setItem('calcora.saveFolder', '/b');
    expect(await saveBackup(new Date('2026-03-01T00:30:00+03:00'))).toBe('Резервная копия сохранена.');
    expect(pickSaveFile).toHaveBeenCalledWith({ defaultName: 'calcora-backup-2026-02-28.db', folder: '/b', filters: [{ name: 'SQLite', extensions: ['db'] }] });
    expect(calls).toEqual(['file_exists', 'flush', 'export_all_data']);
    expect(invoke).toHaveBeenLastCalledWith('export_all_data', { path: '/b/new.db', replace: true });
    const saved: string[] = [];
    await saveBackup(new Date(), (path) => saved.push(path));
    expect(saved).toEqual(['/b/new.db']);
  });

  it('asks before replacing a copy that is there; "no" writes nothing', async () => {
    invoke.mockImplementation(async (command: string) => (calls.push(command), command === 'file_exists' ? true : null));
    askConfirm.mockResolvedValue(false);
    expect(await saveBackup()).toBeNull();
    expect(askConfirm).toHaveBeenCalledWith('Файл «new.db» уже есть. Заменить его?');
    expect(calls).not.toContain('export_all_data');
    askConfirm.mockResolvedValue(true);
    expect(await saveBackup()).toBe('Резервная копия сохранена.');
    expect(calls.at(-1)).toBe('export_all_data');
  });

  it('lets the open estimate go before the database is replaced', async () => {
    expect(await restoreBackup()).toBe('База восстановлена.');
    expect(calls).toEqual(['check_backup_file', 'unload', 'import_all_data']);
    expect(invoke).toHaveBeenCalledWith('import_all_data', { path: '/b/copy.db' });
  });

  it.each([
    ['a cancelled dialog', () => pickOpenFile.mockResolvedValue(null)],
    ['a declined question', () => askConfirm.mockResolvedValue(false)],
  ])('does nothing after %s', async (_, arrange) => {
    arrange();
    expect(await restoreBackup()).toBeNull();
    expect(calls.filter((c) => c !== 'check_backup_file')).toEqual([]);
  });

  it('checks the chosen file before asking, and says the refusal in Russian with the file and its text', async () => {
    invoke.mockRejectedValue(new Error('это не резервная копия Calcora'));
    expect(await restoreBackup()).toBe('Ошибка: Это не резервная копия Calcora: /b/copy.db (это не резервная копия Calcora)');
    expect(askConfirm).not.toHaveBeenCalled();
    invoke.mockImplementation(async (command: string) => {
      if (command === 'export_all_data') throw new Error('No such file or directory (os error 2)');
      return false;
    });
    expect(await saveBackup()).toBe('Ошибка: Папка не найдена: /b/new.db (No such file or directory (os error 2))');
  });
});
