// @vitest-environment jsdom
import { afterEach, beforeEach, describe, expect, it, vi } from 'vitest';
import { askConfirm, pickSaveFile, setDialogPresenter, showMessage } from './dialogs';

// Which dialogs the page shows depends on who opened it: the desktop program's browser window
// ("shell=app" in its address) asks the host for the platform's own; any other browser draws its own.
describe('dialogs through the loopback host', () => {
  const fetchMock = vi.fn();
  const presenter = vi.fn();

  function openedWith(hash: string) {
    sessionStorage.clear();
    history.replaceState(null, '', `/${hash}`);
  }

  beforeEach(() => {
    fetchMock.mockReset();
    presenter.mockReset();
    vi.stubGlobal('fetch', fetchMock);
    setDialogPresenter(presenter);
  });
  afterEach(() => {
    vi.unstubAllGlobals();
    setDialogPresenter(null);
  });

  function answers(...bodies: unknown[]) {
    for (const body of bodies) fetchMock.mockResolvedValueOnce(new Response(JSON.stringify(body), { status: 200 }));
  }

  it('the desktop program asks the host for every kind of dialog, with the key', async () => {
    openedWith('#key=k1&shell=app');
    answers(null, true, 'C:\\Users\\Пётр\\смета №1.xlsx');
    await showMessage('Готово');
    expect(await askConfirm('Удалить?')).toBe(true);
    const filters = [{ name: 'Книга Excel', extensions: ['xlsx'] }];
    expect(await pickSaveFile({ defaultName: 'смета №1.xlsx', filters })).toBe('C:\\Users\\Пётр\\смета №1.xlsx');
    expect(presenter).not.toHaveBeenCalled();
    expect(window.location.hash).toBe('');
    const calls = fetchMock.mock.calls.map(([url, init]) => [url, init.headers['X-Calcora-Key'], JSON.parse(init.body)]);
    expect(calls).toEqual([
      ['/api/dialog', 'k1', { kind: 'alert', message: 'Готово' }],
      ['/api/dialog', 'k1', { kind: 'confirm', message: 'Удалить?' }],
      ['/api/dialog', 'k1', { kind: 'save', defaultName: 'смета №1.xlsx', filters }],
    ]);
  });

  it('a cancelled native dialog gives null', async () => {
    openedWith('#key=k1&shell=app');
    answers(null);
    expect(await pickSaveFile({ defaultName: 'a.pdf' })).toBeNull();
  });

  it('any other browser draws the page its own dialogs', async () => {
    openedWith('#key=k2');
    presenter.mockResolvedValueOnce('/home/пётр/a.xlsx');
    expect(await pickSaveFile({ defaultName: 'a.xlsx' })).toBe('/home/пётр/a.xlsx');
    expect(fetchMock).not.toHaveBeenCalled();
  });
});
