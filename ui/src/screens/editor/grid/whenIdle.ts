// Runs work when the page is idle (or soon, where the browser cannot tell), cancellable.

export interface IdleHandle {
  cancel: () => void;
}

export function whenIdle(run: () => void): IdleHandle {
  if (typeof window.requestIdleCallback === 'function') {
    const id = window.requestIdleCallback(run, { timeout: 50 });
    return { cancel: () => window.cancelIdleCallback(id) };
  }
  const id = window.setTimeout(run, 0);
  return { cancel: () => window.clearTimeout(id) };
}

/** Time one idle batch may take, so a key pressed meanwhile waits no longer. */
const BATCH_BUDGET_MS = 24;

/**
 * Runs `draw(count)` in idle time and sizes the next batch by how long this one took: batches
 * grow while they stay under the budget (at most doubling) and shrink when one overran it.
 */
export function drawBatchWhenIdle(batch: { current: number }, limits: { first: number; max: number }, draw: (count: number) => void): IdleHandle {
  return whenIdle(() => {
    const start = performance.now();
    draw(batch.current);
    const took = Math.max(performance.now() - start, 1);
    const next = Math.round((batch.current * BATCH_BUDGET_MS) / took);
    batch.current = Math.min(limits.max, Math.max(limits.first, Math.min(next, batch.current * 2)));
  });
}
