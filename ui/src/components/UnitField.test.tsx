// @vitest-environment jsdom
import { act, useState } from 'react';
import { createRoot, type Root } from 'react-dom/client';
import { afterEach, beforeEach, describe, expect, it } from 'vitest';
import { placeList, UnitField } from './UnitField';

(globalThis as { IS_REACT_ACT_ENVIRONMENT?: boolean }).IS_REACT_ACT_ENVIRONMENT = true;

describe('unit list placement', () => {
  const rect = (left: number, top: number, width: number, height: number) =>
    ({ left, top, width, height, bottom: top + height, right: left + width }) as DOMRect;

  it.each([
    ['below, at least 120 wide for the short list', rect(10, 100, 80, 24), 15, false, { left: 10, width: 120, above: false, top: 126 }],
    ['at least 220 wide for the full list, kept 8 px inside', rect(950, 100, 80, 24), 96, true, { left: 772, width: 220, above: false, top: 126 }],
    ['above when it does not fit below', rect(10, 600, 80, 24), 15, false, { left: 10, width: 120, above: true, top: 598 }],
  ])('%s', (_name, field, entries, full, expected) => {
    expect(placeList(field, entries, full, { width: 1000, height: 800 })).toEqual(expected);
  });
});

describe('unit field', () => {
  let root: Root;
  let host: HTMLDivElement;
  let stored: string[];

  function Harness() {
    const [value, setValue] = useState('');
    return (
      <UnitField
        value={value}
        onChange={(v) => {
          stored.push(v);
          setValue(v);
        }}
      />
    );
  }

  beforeEach(() => {
    localStorage.clear();
    stored = [];
    host = document.createElement('div');
    document.body.append(host);
    root = createRoot(host);
    act(() => root.render(<Harness />));
  });
  afterEach(() => {
    act(() => root.unmount());
    host.remove();
  });

  const field = () => host.querySelector('input')!;
  const type = (text: string) =>
    act(() => {
      const setter = Object.getOwnPropertyDescriptor(HTMLInputElement.prototype, 'value')!.set!;
      setter.call(field(), text);
      field().dispatchEvent(new Event('input', { bubbles: true }));
    });
  const key = (k: string) =>
    act(() => {
      field().dispatchEvent(new KeyboardEvent('keydown', { key: k, bubbles: true }));
    });
  const options = () => [...document.querySelectorAll('[role=option]')].map((o) => o.textContent);

  it('offers matching units, moves the highlight with wrapping and chooses with Enter', () => {
    act(() => field().focus());
    type('к');
    expect(options()).toEqual(['компл', 'кг', 'упак']);
    key('ArrowUp');
    key('Enter');
    expect(stored.at(-1)).toBe('упак');
    expect(document.querySelector('[role=listbox]')).toBeNull();
  });

  it.each([
    ['м2', [], 'м²'],
    ['компл', [], 'компл'],
    ['Бухта', [], 'бухта'],
    ['м2', ['ArrowDown'], 'шт'],
    ['к', ['ArrowDown', 'ArrowDown'], 'кг'],
  ])('Enter after typing %j and pressing %j commits %j', (typed, moves, unit) => {
    act(() => field().focus());
    type(typed);
    moves.forEach(key);
    key('Enter');
    expect(stored.at(-1)).toBe(unit);
  });

  it('stores the normalised unit when the field is left', () => {
    act(() => field().focus());
    type('Кв.М.');
    act(() => field().blur());
    expect(stored.at(-1)).toBe('м²');
  });

  it('switches to the full list and remembers the choice', () => {
    act(() => field().focus());
    expect(options()).toHaveLength(15);
    act(() => (document.querySelector('.unit-list-full input') as HTMLInputElement).click());
    expect(options()).toHaveLength(96);
    expect(localStorage.getItem('calcora.unitCatalogExtended')).toBe('1');
  });
});
