// @vitest-environment jsdom
import { act, useState } from 'react';
import { createRoot, type Root } from 'react-dom/client';
import { afterEach, beforeEach, describe, expect, it, vi } from 'vitest';
import type { Change } from '../../../estimateStore';
import type { EstimatePayload } from '../../../model/types';
import { TotalsPanel } from './TotalsPanel';
import { useEstimateTotals } from './useEstimateTotals';

(globalThis as { IS_REACT_ACT_ENVIRONMENT?: boolean }).IS_REACT_ACT_ENVIRONMENT = true;

const evaluations: Array<{ expr: string; vars: Record<string, number> }> = [];
let reply: (expr: string) => Promise<number | null> = () => Promise.resolve(0);
vi.mock('../../../platform', () => ({
  invoke: (command: string, args: { expr: string; vars: Record<string, number> }) => {
    if (command !== 'evaluate_formula_cmd') return Promise.reject(new Error(command));
    evaluations.push(args);
    return reply(args.expr);
  },
}));

const estimate = (markup_formula: string | null): EstimatePayload => ({
  estimate: { id: 1, object_name: 'Дом', created_at: '', updated_at: '', mode: 'simple', mode_mask_json: null, calc_params_json: null, kp_json: null },
  lines: [
    { estimate_id: 1, sort_order: 0, line_type: 'full', name: 'Кладка', quantity: 10, unit_price: 1000, category: 'work' },
    { estimate_id: 1, sort_order: 1, line_type: 'full', name: 'Кирпич', quantity: 100, unit_price: 20, category: 'material' },
  ],
  footer: { estimate_id: 1, materials: 500, delivery: 0, advance: 0, show_materials: false, show_delivery: false, show_advance: false, markup_formula, extras_json: null },
});

describe('totals panel', () => {
  let root: Root;
  let host: HTMLDivElement;
  let changes: number;
  let latest: EstimatePayload;

  function Harness({ initial }: { initial: EstimatePayload }) {
    const [data, setData] = useState(initial);
    latest = data;
    const figures = useEstimateTotals(data);
    const update = (c: Change) => {
      changes++;
      setData((d) => (typeof c === 'function' ? c(d) : { ...d, ...c }));
    };
    return <TotalsPanel data={data} figures={figures} update={update} onHide={() => {}} rememberPrices={() => Promise.resolve()} />;
  }

  const q = (id: string) => host.querySelector<HTMLInputElement>(`[data-testid="${id}"]`);
  const text = (id: string) => q(id)?.textContent ?? null;
  const type = (id: string, value: string) =>
    act(() => {
      Object.getOwnPropertyDescriptor(HTMLInputElement.prototype, 'value')!.set!.call(q(id), value);
      q(id)!.dispatchEvent(new Event('input', { bubbles: true }));
    });
  const settle = () => act(() => vi.advanceTimersByTimeAsync(300));
  const mount = (data: EstimatePayload) => act(() => root.render(<Harness initial={data} />));

  beforeEach(() => {
    vi.useFakeTimers();
    evaluations.length = 0;
    changes = 0;
    reply = (expr) => Promise.resolve(expr.includes('/ 0') ? null : 0.1 * 10_000);
    host = document.createElement('div');
    document.body.append(host);
    root = createRoot(host);
  });
  afterEach(() => {
    act(() => root.unmount());
    host.remove();
    vi.useRealTimers();
  });

  it('shows English names in Russian, stores what is typed, and asks once after the pause', async () => {
    mount(estimate('works * 0.1'));
    expect(q('markup-field')!.value).toBe('работы * 0.1');
    await settle();
    expect(evaluations).toEqual([{ expr: 'works * 0.1', vars: { works: 10_000, materials: 2000, delivery: 0, equipment: 0, advance: 0, extras: 0 } }]);
    expect(text('totals-markup')).toBe('1 000');
    expect(text('totals-grand')).toBe('13 000');
    type('markup-field', 'работы * 0.');
    type('markup-field', 'работы * 0.1 ');
    expect(latest.footer.markup_formula).toBe('работы * 0.1 ');
    expect(q('markup-field')!.value).toBe('работы * 0.1 ');
    await settle();
    expect(evaluations.map((e) => e.expr)).toEqual(['works * 0.1', 'работы * 0.1']);
  });

  it('a failure gives markup 0 with the error line; a null reply gives markup 0 without one', async () => {
    reply = (expr) => (expr.endsWith('*') ? Promise.reject(new Error('Unexpected end of input at byte 8.')) : Promise.resolve(null));
    mount(estimate('работы *'));
    await settle();
    expect(text('markup-error')).toBe('Ошибка формулы: Unexpected end of input at byte 8.');
    expect(q('totals-markup')).toBeNull();
    expect(text('totals-grand')).toBe('12 000');
    type('markup-field', 'работы / 0');
    await settle();
    expect(q('markup-error')).toBeNull();
    expect(text('totals-markup')).toBe('0');
  });

  it('add-on inside materials, advance above the total, an emptied field stores 0', async () => {
    mount(estimate(null));
    act(() => q('show-materials')!.click());
    expect(text('totals-materials')).toBe('2 500');
    act(() => q('show-advance')!.click());
    type('advance-field', '20000');
    expect(text('totals-balance')).toBe('-7 500');
    type('advance-field', '');
    expect(latest.footer.advance).toBe(0);
    expect(q('advance-field')!.value).toBe('');
    expect(changes).toBe(4);
    expect(evaluations).toEqual([]);
  });
});
