// @vitest-environment jsdom
import { act, useState } from 'react';
import { createRoot, type Root } from 'react-dom/client';
import { afterEach, beforeEach, describe, expect, it } from 'vitest';
import { NUMBER_TOO_LARGE, NumberCell } from './NumberCell';

(globalThis as { IS_REACT_ACT_ENVIRONMENT?: boolean }).IS_REACT_ACT_ENVIRONMENT = true;

describe('number cell', () => {
  let root: Root;
  let host: HTMLDivElement;
  let stored: Array<number | undefined>;

  function Harness({ initial }: { initial: number }) {
    const [value, setValue] = useState<number | undefined>(initial);
    return (
      <NumberCell
        label="Кол-во"
        value={value}
        onValue={(v) => {
          stored.push(v);
          setValue(v);
        }}
      />
    );
  }

  const mount = (initial: number) => act(() => root.render(<Harness initial={initial} />));
  beforeEach(() => {
    stored = [];
    host = document.createElement('div');
    document.body.append(host);
    root = createRoot(host);
  });
  afterEach(() => {
    act(() => root.unmount());
    host.remove();
  });

  const field = () => host.querySelector('input')!;
  const alert = () => host.querySelector('[role=alert]')?.textContent ?? null;
  const type = (text: string) =>
    act(() => {
      Object.getOwnPropertyDescriptor(HTMLInputElement.prototype, 'value')!.set!.call(field(), text);
      field().dispatchEvent(new Event('input', { bubbles: true }));
    });

  it('shows a computed value without binary noise', () => {
    mount(45 * 1.1);
    expect(field().value).toBe('49.5');
  });

  it('keeps its value and says why when a figure beyond a trillion is typed or pasted', () => {
    mount(12);
    act(() => field().focus());
    type('99999999999999999999');
    expect(stored).toEqual([]);
    expect(field().value).toBe('12');
    expect(alert()).toBe(NUMBER_TOO_LARGE);
    expect(field().getAttribute('aria-invalid')).toBe('true');
    type('1000000000000');
    expect(stored).toEqual([1e12]);
    expect(alert()).toBeNull();
    type('-1000000000001');
    expect(alert()).toBe(NUMBER_TOO_LARGE);
    act(() => field().blur());
    expect(alert()).toBeNull();
    expect(stored).toEqual([1e12]);
  });
});
