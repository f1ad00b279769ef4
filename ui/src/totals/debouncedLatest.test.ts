import { afterEach, beforeEach, describe, expect, it, vi } from 'vitest';
import { DebouncedLatest } from './debouncedLatest';

type Pending = { arg: string; resolve: (v: string) => void; reject: (e: unknown) => void };

function setup() {
  const pending: Pending[] = [];
  const results: string[] = [];
  const errors: string[] = [];
  const d = new DebouncedLatest<string, string>({
    delayMs: 200,
    run: (arg) => new Promise<string>((resolve, reject) => pending.push({ arg, resolve, reject })),
    onResult: (r) => results.push(r),
    onError: (e) => errors.push(String(e)),
  });
  return { d, pending, results, errors };
}

describe('debounced request that keeps the newest answer', () => {
  beforeEach(() => vi.useFakeTimers());
  afterEach(() => vi.useRealTimers());

  it('asks once after the pause, with the last input', async () => {
    const { d, pending } = setup();
    d.request('бе');
    await vi.advanceTimersByTimeAsync(150);
    d.request('бет');
    await vi.advanceTimersByTimeAsync(199);
    expect(pending).toHaveLength(0);
    await vi.advanceTimersByTimeAsync(1);
    expect(pending.map((p) => p.arg)).toEqual(['бет']);
  });

  it.each([
    ['older answer arrives last', [0, 1], ['new']],
    ['answers in order', [1, 0], ['new']],
  ])('drops a stale reply: %s', async (_name, order, expected) => {
    const { d, pending, results } = setup();
    d.runNow('old');
    d.runNow('new');
    for (const i of order) pending[i].resolve(pending[i].arg);
    await vi.runAllTimersAsync();
    expect(results).toEqual(expected);
  });

  it('drops failures of stale requests and everything after cancel', async () => {
    const { d, pending, results, errors } = setup();
    d.runNow('a');
    d.runNow('b');
    pending[0].reject('old failure');
    pending[1].reject('new failure');
    await vi.runAllTimersAsync();
    expect(errors).toEqual(['new failure']);
    d.runNow('c');
    d.cancel();
    pending[2].resolve('c');
    d.request('d');
    d.cancel();
    await vi.runAllTimersAsync();
    expect(errors).toEqual(['new failure']);
    expect(results).toEqual([]);
    expect(pending).toHaveLength(3);
  });
});
