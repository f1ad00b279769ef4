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
