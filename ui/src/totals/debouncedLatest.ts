// A request that waits for a pause in the input and keeps only the newest answer: each new
// input restarts the wait, and a reply to an older request that arrives after a newer one was
// started is dropped, so a slow answer can never overwrite a fresher one.

export interface DebouncedLatestOptions<A, R> {
  delayMs: number;
  run: (arg: A) => Promise<R>;
  onResult: (result: R, arg: A) => void;
  onError: (error: unknown, arg: A) => void;
  setTimer?: (fn: () => void, ms: number) => unknown;
  clearTimer?: (handle: unknown) => void;
}

export class DebouncedLatest<A, R> {
  private timer: unknown = null;
  private ticket = 0;
  private readonly setTimer: (fn: () => void, ms: number) => unknown;
  private readonly clearTimer: (handle: unknown) => void;

  constructor(private readonly options: DebouncedLatestOptions<A, R>) {
    this.setTimer = options.setTimer ?? ((fn, ms) => setTimeout(fn, ms));
    this.clearTimer = options.clearTimer ?? ((h) => clearTimeout(h as ReturnType<typeof setTimeout>));
  }

  /** Asks again after the pause; a request already sent becomes stale. */
  request(arg: A): void {
    this.cancel();
    this.timer = this.setTimer(() => {
      this.timer = null;
      this.runNow(arg);
    }, this.options.delayMs);
  }

  /** Asks at once (no pause); a request already sent becomes stale. */
  runNow(arg: A): void {
    this.cancel();
    const ticket = this.ticket;
    this.options.run(arg).then(
      (result) => {
        if (ticket === this.ticket) this.options.onResult(result, arg);
      },
      (error: unknown) => {
        if (ticket === this.ticket) this.options.onError(error, arg);
      },
    );
  }

  /** Drops the pending wait and makes every answer under way stale. */
  cancel(): void {
    if (this.timer !== null) this.clearTimer(this.timer);
    this.timer = null;
    this.ticket++;
  }
}
