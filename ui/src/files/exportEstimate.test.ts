// @vitest-environment jsdom
import { beforeEach, describe, expect, it, vi } from 'vitest';

const invoke = vi.fn();
const pickSaveFile = vi.fn();
vi.mock('../platform', async (original) => ({
  ...(await original<typeof import('../platform')>()),
  invoke: (...a: unknown[]) => invoke(...a),
  pickSaveFile: (...a: unknown[]) => pickSaveFile(...a),
}));

const { exportEstimate } = await import('./exportEstimate');
const { readRecent } = await import('./recent');
const { writeSettings } = await import('../settings/settings');

describe('exporting an estimate', () => {
  beforeEach(() => {
    localStorage.clear();
    invoke.mockReset().mockResolvedValue(null);
    pickSaveFile.mockReset();
  });

  it.each([
    ['xlsx', '/out/report.pdf', 'export_estimate_xlsx', { id: 5, path: '/out/report.xlsx' }],
    ['csv', '/out/table', 'export_estimate_csv', { id: 5, path: '/out/table.csv' }],
    ['pdf', '/out/my.dir/offer.txt', 'export_estimate_pdf', { id: 5, path: '/out/my.dir/offer.pdf', printFont: 'Georgia' }],
    ['clcx', '/out/.offer', 'export_estimate_clcx', { id: 5, path: '/out/.offer.clcx' }],
  ])('%s chosen as %s calls %s', async (kind, chosen, command, args) => {
    writeSettings({ printFont: 'Georgia' });
    pickSaveFile.mockResolvedValue(chosen);
    expect(await exportEstimate(5, 'Дом: этап?', kind)).toBe(args.path);
    expect(pickSaveFile).toHaveBeenCalledWith(expect.objectContaining({ defaultName: `Дом этап.${kind}` }));
    expect(invoke).toHaveBeenCalledWith(command, args);
    expect(readRecent().map((r) => r.path)).toEqual(kind === 'clcx' ? [args.path] : []);
  });

  it('offers one filter named after the choice, and stops silently when cancelled', async () => {
    pickSaveFile.mockResolvedValue(null);
    expect(await exportEstimate(5, 'NUL', 'clcx')).toBeNull();
    expect(pickSaveFile).toHaveBeenCalledWith({ defaultName: 'smeta-NUL.clcx', filters: [{ name: 'Calcora', extensions: ['clcx'] }] });
    expect(invoke).not.toHaveBeenCalledWith('export_estimate_clcx', expect.anything());
    expect(readRecent()).toEqual([]);
  });

  it('refuses an unknown kind and keeps no recent entry for a failed export', async () => {
    await expect(exportEstimate(5, 'Дом', 'docx')).rejects.toThrow('Неизвестный формат файла');
    expect(pickSaveFile).not.toHaveBeenCalled();
    pickSaveFile.mockResolvedValue('/out/a.clcx');
    invoke.mockRejectedValue(new Error('нет места на диске'));
    await expect(exportEstimate(5, 'Дом', 'clcx')).rejects.toThrow('нет места на диске');
    expect(readRecent()).toEqual([]);
  });
});
