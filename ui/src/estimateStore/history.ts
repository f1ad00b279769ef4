// Undo history: deep copies of the whole record; changes less than 400 ms apart join one step.

export const GROUP_MS = 400;
export const MAX_STEPS = 50;

export class UndoHistory<T> {
  private past: T[] = [];
  private future: T[] = [];
  private lastRecord = Number.NEGATIVE_INFINITY;

  // structuredClone must not be called as a method of this object: browsers refuse that.
  constructor(private readonly copy: (value: T) => T = (value) => structuredClone(value)) {}

  get canUndo(): boolean {
    return this.past.length > 0;
  }

  get canRedo(): boolean {
    return this.future.length > 0;
  }

  clear(): void {
    this.past = [];
    this.future = [];
    this.lastRecord = Number.NEGATIVE_INFINITY;
  }

  /** Called before a change, with the record as it is before it. */
  record(current: T, now: number): void {
    if (this.past.length > 0 && now - this.lastRecord < GROUP_MS) {
      this.future = [];
      this.lastRecord = now;
      return;
    }
    this.past.push(this.copy(current));
    if (this.past.length > MAX_STEPS) this.past.shift();
    this.future = [];
    this.lastRecord = now;
  }

  /** The record to show instead of current, or undefined when there is nothing to undo. */
  undo(current: T): T | undefined {
    const previous = this.past.pop();
    if (previous === undefined) return undefined;
    this.future.push(this.copy(current));
    this.lastRecord = Number.NEGATIVE_INFINITY;
    return previous;
  }

  redo(current: T): T | undefined {
    const next = this.future.pop();
    if (next === undefined) return undefined;
    this.past.push(this.copy(current));
    this.lastRecord = Number.NEGATIVE_INFINITY;
    return next;
  }
}
