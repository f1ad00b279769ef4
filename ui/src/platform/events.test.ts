// @vitest-environment jsdom
import { describe, expect, it, vi } from 'vitest';
import { emit, installEventBridge, listen, shortcutEvent } from './events';

describe('shortcutEvent', () => {
  it.each([
    [{ ctrlKey: true, metaKey: false, altKey: false, code: 'KeyS', key: 's' }, 'global-save'],
    [{ ctrlKey: true, metaKey: false, altKey: false, code: 'KeyS', key: 'ы' }, 'global-save'],
    [{ ctrlKey: true, metaKey: false, altKey: false, code: 'KeyO', key: 'o' }, 'global-open'],
    [{ ctrlKey: false, metaKey: false, altKey: false, code: 'KeyS', key: 's' }, null],
    [{ ctrlKey: true, metaKey: false, altKey: true, code: 'KeyS', key: 's' }, null],
    [{ ctrlKey: true, metaKey: false, altKey: false, code: 'KeyP', key: 'p' }, null],
  ])('%o gives %s', (event, expected) => {
    expect(shortcutEvent(event)).toBe(expected);
  });
});

describe('listen', () => {
  it('delivers until unsubscribed', () => {
    const listener = vi.fn();
    const off = listen('global-save', listener);
    emit('global-save', null);
    off();
    emit('global-save', null);
    expect(listener).toHaveBeenCalledTimes(1);
  });
});

describe('file drops in the desktop program\'s browser window', () => {
  it('are refused, so a dropped file never replaces the page', () => {
    sessionStorage.clear();
    history.replaceState(null, '', '/#key=k&shell=app');
    installEventBridge();
    for (const type of ['dragover', 'drop']) {
      const event = new Event(type, { cancelable: true });
      window.dispatchEvent(event);
      expect(event.defaultPrevented).toBe(true);
    }
  });
});
