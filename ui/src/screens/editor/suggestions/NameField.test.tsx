// @vitest-environment jsdom
import { act, useState } from 'react';
import { createRoot, type Root } from 'react-dom/client';
import { afterEach, beforeEach, describe, expect, it, vi } from 'vitest';
import type { CatalogItem } from '../../../suggestions/catalogItem';
import { NameField } from './NameField';

(globalThis as { IS_REACT_ACT_ENVIRONMENT?: boolean }).IS_REACT_ACT_ENVIRONMENT = true;

const calls: Array<{ query: string; resolve: (items: CatalogItem[]) => void }> = [];
vi.mock('../../../platform', () => ({
  invoke: (command: string, args: { query: string }) =>
    command === 'search_memory' ? new Promise((resolve) => calls.push({ query: args.query, resolve })) : Promise.reject(new Error(command)),
}));

const item = (id: number, name: string, patch: Partial<CatalogItem> = {}): CatalogItem => ({
  id, name, unit: 'м²', default_price: 100, line_type: 'full', category: 'work', usage_count: 0, ...patch,
});

describe('name field with suggestions', () => {
  let root: Root;
  let host: HTMLDivElement;
  let chosen: string[];
  let keysPassed: string[];

  function Harness() {
    const [name, setName] = useState('');
    return (
      <NameField
        value={name}
        onType={setName}
        onChoose={(i) => {
          chosen.push(i.name);
          setName(i.name);
        }}
        onKeyDown={(e) => keysPassed.push(e.key)}
      />
    );
  }

  const input = () => host.querySelector('input')!;
  const entries = () => [...document.querySelectorAll('[data-testid="suggestion"]')].map((e) => e.textContent);
  const type = (text: string) =>
    act(() => {
      const setter = Object.getOwnPropertyDescriptor(HTMLInputElement.prototype, 'value')!.set!;
      setter.call(input(), text);
      input().dispatchEvent(new Event('input', { bubbles: true }));
    });
  const key = (k: string) =>
    act(() => {
      input().dispatchEvent(new KeyboardEvent('keydown', { key: k, bubbles: true, cancelable: true }));
    });
  const answer = async (i: number, items: CatalogItem[]) => act(async () => calls[i].resolve(items));

  beforeEach(() => {
    vi.useFakeTimers();
    calls.length = 0;
    chosen = [];
    keysPassed = [];
    host = document.createElement('div');
    document.body.append(host);
    root = createRoot(host);
    act(() => root.render(<Harness />));
    act(() => input().focus());
  });
  afterEach(() => {
    act(() => root.unmount());
    host.remove();
    vi.useRealTimers();
  });

  it('searches from the second character after 200 ms and chooses with the arrows and Enter', async () => {
    type('к');
    await act(() => vi.advanceTimersByTimeAsync(500));
    expect(calls).toHaveLength(0);
    type('кл ');
    await act(() => vi.advanceTimersByTimeAsync(199));
    expect(calls).toHaveLength(0);
    await act(() => vi.advanceTimersByTimeAsync(1));
    expect(calls.map((c) => c.query)).toEqual(['кл']);
    await answer(0, [item(1, 'Кладка кирпича', { usage_count: 3 }), item(2, 'Клей плиточный', { unit: null, line_type: 'fixed' })]);
    expect(entries()).toEqual(['Кладка кирпича(м²)×3', 'Клей плиточныйФикс. сумма']);
    key('ArrowDown');
    key('ArrowDown');
    key('ArrowUp');
    key('Enter');
    expect(chosen).toEqual(['Клей плиточный']);
    expect(keysPassed).toEqual(['Enter']);
    expect(entries()).toEqual([]);
  });

  it('drops an answer to an older query, and shows the inline completion that Tab takes', async () => {
    type('кл');
    await act(() => vi.advanceTimersByTimeAsync(200));
    type('кла');
    await act(() => vi.advanceTimersByTimeAsync(200));
    await answer(1, [item(1, 'Кладка кирпича')]);
    await answer(0, [item(9, 'Клей')]);
    expect(entries()).toEqual(['Кладка кирпича(м²)']);
    key('Escape');
    expect(entries()).toEqual([]);
    expect(host.querySelector('[data-testid="name-completion"]')!.textContent).toBe('кладка кирпича');
    key('Tab');
    expect(chosen).toEqual(['Кладка кирпича']);
    expect(keysPassed).toEqual([]);
  });

  it('Escape while a search is under way keeps the list closed when its answer comes', async () => {
    type('кл');
    key('Escape');
    await act(() => vi.advanceTimersByTimeAsync(200));
    expect(calls).toHaveLength(0);
    type('кла');
    await act(() => vi.advanceTimersByTimeAsync(200));
    key('Escape');
    await answer(0, [item(1, 'Кладка кирпича')]);
    expect(entries()).toEqual([]);
    type('клад');
    await act(() => vi.advanceTimersByTimeAsync(200));
    await answer(1, [item(1, 'Кладка кирпича')]);
    expect(entries()).toEqual(['Кладка кирпича(м²)']);
  });

  it('a failed search or a short text closes the list', async () => {
    type('кл');
    await act(() => vi.advanceTimersByTimeAsync(200));
    await answer(0, [item(1, 'Кладка кирпича')]);
    type('к');
    expect(entries()).toEqual([]);
    expect(host.querySelector('[data-testid="name-completion"]')).toBeNull();
  });
});
