// @vitest-environment jsdom
import { beforeEach, describe, expect, it } from 'vitest';
import { applySettings, defaultColumns, defaultSettings, parseSettings, readSettings, writeSettings } from './settings';

const read = (obj: unknown) => parseSettings(JSON.stringify(obj));

describe('reading settings', () => {
  it.each([
    [30, 24],
    [9.6, 10],
    [12.5, 13],
    ['16', 13],
    [null, 13],
  ])('defaultFontSize %j reads as %d', (stored, expected) => {
    expect(read({ defaultFontSize: stored }).defaultFontSize).toBe(expected);
  });

  it('falls back per key and uses the older compact flag', () => {
    expect(read({ uiSize: 'huge', compact: false }).uiSize).toBe('regular');
    expect(read({ compact: true }).uiSize).toBe('compact');
    expect(read({ uiSize: 'comfortable', compact: true }).uiSize).toBe('comfortable');
    const s = read({ theme: 'blue', defaultMode: 'custom', printFont: 'Comic Sans', defaultFont: 'PT Sans', defaultTemplate: 'nope' });
    expect(s).toMatchObject({ theme: 'system', defaultMode: 'simple', printFont: 'Times New Roman', defaultFont: 'PT Sans', defaultTemplate: 'nope' });
  });

  it.each([['{not json'], ['[1,2]'], ['"text"'], ['null']])('%s gives the defaults', (text) => {
    expect(parseSettings(text)).toEqual(defaultSettings());
  });

  it('reads a stored column list: order kept, unknown dropped, old titles and widths replaced, missing appended', () => {
    const columns = read({
      columns: [
        { id: 'price', title: 'Стоимость', visible: false, width: 104 },
        { id: 'bogus', title: 'x', visible: true },
        { id: 'name', title: '  ', visible: true },
        { id: 'unit', title: 'Ед.изм.', visible: true, width: 72 },
        { id: 'qty', title: 'Кол-во', visible: true, width: 120 },
      ],
    }).columns;
    expect(columns.slice(0, 4)).toEqual([
      { id: 'price', title: 'Цена', visible: false, width: 88 },
      { id: 'name', title: 'Наименование', visible: true },
      { id: 'unit', title: 'Ед.', visible: true, width: 88 },
      { id: 'qty', title: 'Кол-во', visible: true, width: 120 },
    ]);
    expect(columns.map((c) => c.id)).toEqual(['price', 'name', 'unit', 'qty', 'num', 'sku', 'cost', 'total', 'type', 'actions']);
    expect(defaultColumns()).toHaveLength(10);
  });
});

describe('writing and applying settings', () => {
  beforeEach(() => {
    localStorage.clear();
    document.documentElement.className = 'ui-compact compact';
  });

  it('writes the whole record without older keys and applies it', () => {
    localStorage.setItem('calcora.settings', JSON.stringify({ compact: false, defaultFontSize: 30 }));
    const s = writeSettings({ theme: 'dark', printFont: 'Georgia' });
    const stored = JSON.parse(localStorage.getItem('calcora.settings')!);
    expect(stored).not.toHaveProperty('compact');
    expect(stored).toMatchObject({ uiSize: 'regular', defaultFontSize: 24, theme: 'dark' });
    expect(readSettings()).toEqual(s);
    const root = document.documentElement;
    expect([...root.classList].sort()).toEqual(['dark', 'ui-regular']);
    expect(root.style.getPropertyValue('--estimate-font-size')).toBe('24px');
    expect(root.style.getPropertyValue('--print-font')).toBe('Georgia');
  });

  it('follows the system preference only for the system theme', () => {
    const root = document.createElement('html');
    const original = window.matchMedia;
    window.matchMedia = ((q: string) => ({ matches: q.includes('dark') })) as unknown as typeof window.matchMedia;
    try {
      applySettings({ ...defaultSettings(), theme: 'system' }, root);
      expect(root.classList.contains('dark')).toBe(true);
      applySettings({ ...defaultSettings(), theme: 'light' }, root);
      expect(root.classList.contains('dark')).toBe(false);
    } finally {
      window.matchMedia = original;
    }
  });
});
