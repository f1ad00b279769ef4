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

  it('saves the pending edit first and proposes the UTC date', async () => {
    expect(await saveBackup(new Date('2026-03-01T00:30:00+03:00'))).toBe('Резервная копия сохранена.');
    expect(pickSaveFile).toHaveBeenCalledWith({ defaultName: 'calcora-backup-2026-02-28.db', filters: [{ name: 'SQLite', extensions: ['db'] }] });
    expect(calls).toEqual(['flush', 'export_all_data']);
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
    invoke.mockRejectedValue(new Error('No such file or directory (os error 2)'));
    expect(await saveBackup()).toBe('Ошибка: Папка не найдена: /b/new.db (No such file or directory (os error 2))');
  });
});
