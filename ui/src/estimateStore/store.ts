// The estimate store: the one open estimate, its undo history and its saving. It lives for
// the whole page (not inside a screen) so that a save can still run after the editor is left.

import { invoke as platformInvoke, onBeforeClose } from '../platform';
import { isBlankName, newEmptyLine, type CatalogItem, type CatalogItemRef, type EstimateLine, type EstimatePayload } from '../model/types';
import { changedInputs, formulaGraph, recalculateChanged, recalculateLines, type FormulaGraph } from '../formula';
import { variablesOf } from './calcParams';
import { UndoHistory } from './history';
import { categorySetByUser, memoryEntry } from './memory';
import { mergeSaveReply, savePayload } from './merge';

export const AUTOSAVE_MS = 300;

export interface StoreSnapshot {
  data: EstimatePayload | null;
  saving: boolean;
  error: string;
  canUndo: boolean;
  canRedo: boolean;
}

export type Change = Partial<EstimatePayload> | ((current: EstimatePayload) => EstimatePayload);
export type Invoke = <T>(command: string, args?: object) => Promise<T>;

/** Runs `run` after the next frame is painted (at once where there are no frames). */
function afterPaint(run: () => void): void {
  if (typeof requestAnimationFrame === 'function' && typeof document !== 'undefined' && document.visibilityState === 'visible') {
    requestAnimationFrame(() => setTimeout(run, 0));
  } else {
    setTimeout(run, 0);
  }
}

function failureText(e: unknown): string {
  return e instanceof Error ? e.message : String(e);
}

/** Brings an estimate as loaded into the shape the editor types into: a blank line is always there. */
export function withPlaceholder(payload: EstimatePayload): EstimatePayload {
  const id = payload.estimate.id;
  const lines = payload.lines;
  if (lines.length === 0) return { ...payload, lines: [newEmptyLine(id, 0)] };
  if (lines.some(isBlankName)) return payload;
  return { ...payload, lines: [...lines, newEmptyLine(id, lines.length)] };
}

export class EstimateStore {
  private snapshot: StoreSnapshot = { data: null, saving: false, error: '', canUndo: false, canRedo: false };
  private readonly listeners = new Set<() => void>();
  // Records are never changed in place (every change makes new objects only for what it
  // touches), so a kept reference is as good as a deep copy and keeps unchanged lines shared.
  private readonly history = new UndoHistory<EstimatePayload>((record) => record);
  private timer: ReturnType<typeof setTimeout> | null = null;
  private savesRunning = 0;
  private lastSave: Promise<void> = Promise.resolve();
  /** Counts changes of the record, to tell whether the user edited while a save ran. */
  private revision = 0;
  /**
   * The lines as the last recalculation left them, the calculator parameters it used and what
   * it knew of their formulas: the next change recomputes only the formulas it touches.
   */
  private recalculated: { lines: readonly EstimateLine[]; params: string | null | undefined; graph: FormulaGraph } | null = null;
  /** Registrations under way, by line: a row left twice before the first answer counts once. */
  private readonly registering = new WeakMap<EstimateLine, Promise<CatalogItemRef | null>>();
  /** The same, waited for before the estimate goes away, so the links they bring are saved with it. */
  private readonly inFlight = new Set<Promise<unknown>>();
  /** What the editor does before its estimate goes away: register the row still being edited. */
  private leaveHook: (() => Promise<void>) | null = null;

  constructor(
    private readonly call: Invoke = platformInvoke,
    private readonly now: () => number = () => Date.now(),
  ) {}

  subscribe = (listener: () => void): (() => void) => {
    this.listeners.add(listener);
    return () => this.listeners.delete(listener);
  };

  getSnapshot = (): StoreSnapshot => this.snapshot;

  get data(): EstimatePayload | null {
    return this.snapshot.data;
  }

  private set(patch: Partial<StoreSnapshot>): void {
    this.snapshot = {
      ...this.snapshot,
      ...patch,
      canUndo: this.history.canUndo,
      canRedo: this.history.canRedo,
    };
    for (const l of this.listeners) l();
  }

  /**
   * The editor's hook for the moment its estimate is closed (another one opened, the database
   * restored, the window closed): the row being edited is done with then, like a row left.
   */
  setLeaveHook(hook: (() => Promise<void>) | null): void {
    this.leaveHook = hook;
  }

  private async leave(): Promise<void> {
    const hook = this.leaveHook;
    if (hook) await hook().catch(() => undefined);
    await Promise.allSettled([...this.inFlight]);
  }

  /** Opens an estimate. A pending save of the open one is carried out first so no edit is lost. */
  async load(id: number): Promise<void> {
    await this.leave();
    await this.flush();
    try {
      const payload = await this.call<EstimatePayload>('get_estimate', { id });
      const data = withPlaceholder(payload);
      this.recalculated = null;
      this.history.clear();
      this.revision++;
      this.set({ data, error: '' });
      this.settleAfterPaint(data);
    } catch (e) {
      this.set({ error: failureText(e) });
    }
  }

  /**
   * What a full pass over the formulas gives for the lines just opened, worked out once the
   * first rows are on screen (a long estimate's pass would hold up its opening), so that the
   * first keystroke (a name typed) can be told to need none. A change before that makes the
   * full pass itself.
   */
  private settleAfterPaint(data: EstimatePayload): void {
    afterPaint(() => {
      if (this.snapshot.data?.lines !== data.lines || this.recalculated !== null) return;
      const params = data.estimate.calc_params_json;
      const graph = formulaGraph(data.lines);
      this.recalculated = { lines: recalculateLines(data.lines, variablesOf(params), graph), params, graph };
    });
  }

  /** Drops the open estimate (after saving what is pending). */
  async unload(): Promise<void> {
    await this.leave();
    await this.flush();
    this.history.clear();
    this.revision++;
    this.set({ data: null, error: '' });
  }

  update(change: Change): void {
    const current = this.snapshot.data;
    if (!current) return;
    this.history.record(current, this.now());
    const next = typeof change === 'function' ? change(current) : { ...current, ...change };
    this.revision++;
    this.set({ data: next });
    this.schedule();
  }

  /**
   * A change that is no edit of the user's (a catalog link coming back from the name memory):
   * saved like any change, but it records no undo step and does not join the user's next
   * edits into one step.
   */
  amend(change: (current: EstimatePayload) => EstimatePayload): void {
    const current = this.snapshot.data;
    if (!current) return;
    this.revision++;
    this.set({ data: change(current) });
    this.schedule();
  }

  /** Changes the lines; formula quantities are recomputed with the estimate's calculator variables. */
  updateLines(change: (lines: EstimateLine[]) => EstimateLine[]): void {
    this.update((d) => {
      const params = d.estimate.calc_params_json;
      const next = change(d.lines);
      // Against the last recalculation's result, a change of values (a quantity, a price typed)
      // recomputes only the formulas that read them, and a name, a unit or a category none; a
      // change of ids, formulas or the lines' count makes a full pass.
      const settled = this.recalculated;
      const changed = settled !== null && settled.params === params ? changedInputs(settled.lines, next) : null;
      if (settled !== null && changed !== null) {
        const lines = recalculateChanged(next, variablesOf(params), settled.graph, changed);
        this.recalculated = { lines, params, graph: settled.graph };
        return { ...d, lines };
      }
      const graph = formulaGraph(next);
      const lines = recalculateLines(next, variablesOf(params), graph);
      this.recalculated = { lines, params, graph };
      return { ...d, lines };
    });
  }

  /** New calculator parameters; the lines are recalculated with them in the same step. */
  setCalcParams(json: string | null): void {
    this.update((d) => {
      const graph = formulaGraph(d.lines);
      const lines = recalculateLines(d.lines, variablesOf(json), graph);
      this.recalculated = { lines, params: json, graph };
      return { ...d, estimate: { ...d.estimate, calc_params_json: json }, lines };
    });
  }

  undo(): void {
    const current = this.snapshot.data;
    if (!current) return;
    const previous = this.history.undo(current);
    if (previous === undefined) return;
    this.revision++;
    this.set({ data: previous });
    this.schedule();
  }

  redo(): void {
    const current = this.snapshot.data;
    if (!current) return;
    const next = this.history.redo(current);
    if (next === undefined) return;
    this.revision++;
    this.set({ data: next });
    this.schedule();
  }

  private schedule(): void {
    if (this.timer !== null) clearTimeout(this.timer);
    this.timer = setTimeout(() => {
      this.timer = null;
      void this.save();
    }, AUTOSAVE_MS);
  }

  get autosavePending(): boolean {
    return this.timer !== null;
  }

  /** Saves at once (Ctrl+S). A pending timer stays: it saves again later, which is harmless. */
  saveNow(): Promise<void> {
    return this.save();
  }

  /** The window closes: the row being edited is registered, then everything pending saved. */
  async close(): Promise<void> {
    await this.leave();
    await this.flush();
  }

  /** Carries out a pending autosave now and waits for every save under way. */
  async flush(): Promise<void> {
    if (this.timer !== null) {
      clearTimeout(this.timer);
      this.timer = null;
      await this.save();
    }
    await this.lastSave;
  }

  /**
   * Registers a line the user is done with in the name memory: one use of its name, or a new
   * item. Null, without a call, for sections, blank names and lines already linked to an item
   * (registered before, or filled from a suggestion), so a row counts once however often it is
   * left. `counted` registers a linked line too: the pick of a suggestion is its use.
   * A category the user set with the badge is carried over to the item.
   */
  registerLine(line: EstimateLine, counted = false): Promise<CatalogItemRef | null> {
    if (line.catalog_item_id != null && !counted) return Promise.resolve(null);
    const entry = memoryEntry(line);
    if (!entry) return Promise.resolve(null);
    const running = this.registering.get(line);
    if (running) return running;
    const run = this.call<CatalogItemRef & Partial<CatalogItem>>('save_to_global_memory', entry).then(async (item) => {
      if (categorySetByUser(line) && item.category !== undefined && item.category !== entry.category) {
        // The use is counted either way; a failed correction only leaves the item's category.
        await this.rememberCategory({ ...line, catalog_item_id: item.id }, item).catch(() => undefined);
      }
      return item;
    });
    this.registering.set(line, run);
    this.inFlight.add(run);
    const done = () => void this.inFlight.delete(run);
    run.then(done, done);
    return run;
  }

  /**
   * Gives the line's category to its catalog item, so that the next suggestion of the name
   * brings it; nothing for a line without a link.
   */
  async rememberCategory(line: EstimateLine, known?: CatalogItem | Partial<CatalogItem>): Promise<void> {
    const id = line.catalog_item_id;
    if (id == null || !line.category) return;
    const item = known && known.name !== undefined ? (known as CatalogItem) : await this.call<CatalogItem>('get_catalog_item', { id });
    if (item.category === line.category) return;
    await this.call<CatalogItem>('save_catalog_item', { item: { ...item, id, category: line.category } });
  }

  /** Every line in order, with its price as the item's usual price; one call after the other. */
  async rememberPrices(): Promise<void> {
    const data = this.snapshot.data;
    if (!data) return;
    try {
      for (const line of data.lines) {
        const entry = memoryEntry(line, true);
        if (entry) await this.call<CatalogItemRef>('save_to_global_memory', entry);
      }
    } catch (e) {
      this.set({ error: failureText(e) });
    }
  }

  private save(): Promise<void> {
    const run = this.runSave();
    this.lastSave = this.lastSave.then(() => run);
    return run;
  }

  private async runSave(): Promise<void> {
    const data = this.snapshot.data;
    if (!data) return;
    const startRevision = this.revision;
    this.savesRunning++;
    this.set({ saving: true });
    try {
      // No line is registered here: the name memory takes a line when the user is done with
      // it (the row is left), never a name half typed when the autosave happened to fire.
      const reply = await this.call<EstimatePayload>('save_estimate', { payload: savePayload(data) });
      const current = this.snapshot.data;
      // Another estimate may have been opened while this one was being saved.
      if (current && current.estimate.id === data.estimate.id) {
        this.set({ data: mergeSaveReply(current, reply), error: '' });
        if (this.revision !== startRevision) this.schedule();
      }
    } catch (e) {
      if (this.snapshot.data?.estimate.id === data.estimate.id) this.set({ error: failureText(e) });
    } finally {
      this.savesRunning--;
      this.set({ saving: this.savesRunning > 0 });
    }
  }
}

/** The page's one store. */
export const estimateStore = new EstimateStore();

/** Saves what is pending before the window closes; the desktop shell waits for it. */
export function installCloseSave(store: EstimateStore = estimateStore): () => void {
  const offClose = onBeforeClose(() => store.close());
  const onHide = () => {
    if (document.visibilityState === 'hidden' && store.autosavePending) void store.flush();
  };
  document.addEventListener('visibilitychange', onHide);
  return () => {
    offClose();
    document.removeEventListener('visibilitychange', onHide);
  };
}
