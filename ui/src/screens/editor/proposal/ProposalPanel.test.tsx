// @vitest-environment jsdom
import { act } from 'react';
import { createRoot, type Root } from 'react-dom/client';
import { afterEach, beforeEach, describe, expect, it, vi } from 'vitest';
import type { Change } from '../../../estimateStore';
import type { EstimatePayload } from '../../../model/types';

const invoke = vi.fn<(command: string, args?: object) => Promise<unknown>>();
vi.mock('../../../platform', () => ({
  invoke: (command: string, args?: object) => invoke(command, args),
  pickSaveFile: vi.fn(),
}));
const { ProposalPanel } = await import('./ProposalPanel');

(globalThis as { IS_REACT_ACT_ENVIRONMENT?: boolean }).IS_REACT_ACT_ENVIRONMENT = true;

function estimate(kp: object | null): EstimatePayload {
  return {
    estimate: {
      id: 7,
      object_name: 'Дача',
      created_at: '',
      updated_at: '',
      mode: 'private',
      mode_mask_json: null,
      calc_params_json: null,
      kp_json: kp && JSON.stringify(kp),
    },
    lines: [{ id: 1, estimate_id: 7, sort_order: 0, line_type: 'full', name: 'Кладка', quantity: 2, unit_price: 50 }],
    footer: {
      estimate_id: 7,
      materials: 0,
      delivery: 0,
      advance: 0,
      show_materials: false,
      show_delivery: false,
      show_advance: false,
      markup_formula: null,
      extras_json: null,
    },
  };
}

describe('proposal panel', () => {
  let root: Root;
  let host: HTMLDivElement;
  let data: EstimatePayload;
  const update = (change: Change) => {
    data = typeof change === 'function' ? change(data) : { ...data, ...change };
    render();
  };
  const render = () => act(() => root.render(<ProposalPanel data={data} update={update} onClose={() => undefined} />));
  const byId = (id: string) => host.querySelector<HTMLElement>(`[data-testid="${id}"]`);
  const settle = () => act(async () => {
    await Promise.resolve();
    await Promise.resolve();
  });
  const polls = () => invoke.mock.calls.filter(([c]) => c === 'proposal_poll');

  beforeEach(() => {
    vi.useFakeTimers();
    invoke.mockReset();
    host = document.createElement('div');
    document.body.append(host);
    root = createRoot(host);
  });
  afterEach(() => {
    act(() => root.unmount());
    host.remove();
    vi.useRealTimers();
  });

  it('polls a published link on open, on window focus and every minute; a withdrawn link loses its address', async () => {
    data = estimate({ title: 'КП', stages: [], logo_b64: null, token: 'kp1' });
    invoke.mockImplementation(async (command) =>
      command === 'proposal_publish'
        ? { token: 'kp1', url: 'http://127.0.0.1:9/p/kp1' }
        : { ok: true, revoked: false, comments: [{ name: '', body: 'Когда начнёте?' }], decision: { status: 'approved', name: 'Анна' } },
    );
    render();
    await settle();
    expect(polls()).toEqual([['proposal_poll', { token: 'kp1' }]]);
    expect(byId('proposal-decision')?.textContent).toBe('Решение заказчика: согласовано (Анна)');
    expect(byId('proposal-comment')?.textContent).toBe('Гость: Когда начнёте?');
    expect(byId('proposal-link')).toBeNull();

    await act(async () => byId('proposal-publish')!.click());
    await settle();
    expect(invoke).toHaveBeenCalledWith('proposal_publish', expect.objectContaining({ token: 'kp1' }));
    expect(byId('proposal-link')?.textContent).toBe('http://127.0.0.1:9/p/kp1');

    act(() => void window.dispatchEvent(new Event('focus')));
    await act(async () => void vi.advanceTimersByTime(60_000));
    expect(polls()).toHaveLength(3);

    invoke.mockResolvedValue({ ok: false, revoked: true, comments: null, decision: null, snapshot: null });
    await act(async () => void vi.advanceTimersByTime(60_000));
    await settle();
    expect(byId('proposal-link')).toBeNull();
    expect(byId('proposal-revoke')).not.toBeNull();
  });

  it('a failed poll shows nothing; a failed publish shows the reason without "Error:"', async () => {
    data = estimate({ title: 'КП', stages: [], logo_b64: null, token: 'kp1' });
    invoke.mockRejectedValue(new Error('Error: ссылка не найдена'));
    render();
    await settle();
    expect(byId('proposal-error')).toBeNull();
    await act(async () => byId('proposal-publish')!.click());
    await settle();
    expect(byId('proposal-error')?.textContent).toBe('ссылка не найдена');
  });

  it('without a token nothing is polled; a new stage is saved into kp_json at once', async () => {
    data = estimate(null);
    render();
    await settle();
    expect(invoke).not.toHaveBeenCalled();
    expect((byId('proposal-title') as HTMLInputElement).value).toBe('Дача');
    act(() => byId('proposal-add-stage')!.click());
    expect(data.estimate.kp_json).toBe('{"title":"Дача","stages":[{"title":"Этап","amount":0}],"logo_b64":null,"token":null}');
  });
});
