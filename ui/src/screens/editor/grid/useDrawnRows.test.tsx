import { act } from 'react';
import { createRoot, type Root } from 'react-dom/client';
import { afterEach, beforeEach, describe, expect, it } from 'vitest';
import { FIRST_ROWS, useDrawnRows } from './useDrawnRows';

(globalThis as { IS_REACT_ACT_ENVIRONMENT?: boolean }).IS_REACT_ACT_ENVIRONMENT = true;

let shown: number[] = [];
function Probe({ total }: { total: number }) {
  shown.push(useDrawnRows(total));
  return null;
}

let root: Root;
let host: HTMLDivElement;
const render = (total: number) => act(() => root.render(<Probe total={total} />));
const last = () => shown[shown.length - 1];
/** Lets the idle batches run until every row is drawn (or the limit is hit). */
async function settle(total: number) {
  for (let i = 0; i < 500 && last() < total; i++) await act(() => new Promise((r) => setTimeout(r, 1)));
}

beforeEach(() => {
  shown = [];
  host = document.createElement('div');
  root = createRoot(host);
});
afterEach(() => act(() => root.unmount()));

describe('rows drawn in batches', () => {
  it('draws a short estimate at once', async () => {
    await render(12);
    expect(shown[0]).toBe(12);
  });

  it('draws the first screenful at once and every row soon after, never going back', async () => {
    await render(3000);
    expect(shown[0]).toBe(FIRST_ROWS);
    await settle(3000);
    expect(last()).toBe(3000);
    expect(shown.every((n, i) => i === 0 || n >= shown[i - 1])).toBe(true);
  });

  it('draws a few new rows with the change, a large paste in batches', async () => {
    await render(100);
    await settle(100);
    await render(103);
    expect(last()).toBe(103);
    await render(5103);
    expect(last()).toBeLessThan(5103);
    await settle(5103);
    expect(last()).toBe(5103);
    await render(40);
    expect(last()).toBe(40);
  });
});
