// @vitest-environment jsdom
import { afterEach, beforeEach, describe, expect, it, vi } from 'vitest';
import type { EstimateLine, EstimatePayload } from '../model/types';
import { readCalcParams, calculatorVariables } from './calcParams';
import { readLineFormat, writeLineFormat } from './lineFormat';
import { maskInForce } from './modes';
import { memoryEntry } from './memory';
import { installEventBridge } from '../platform';
import { mergeSaveReply } from './merge';
import { EstimateStore, installCloseSave, type Invoke } from './store';

const estimate = (lines: Partial<EstimateLine>[] = []): EstimatePayload => ({
  estimate: { id: 7, object_name: 'Дом', created_at: 'c', updated_at: 'u', mode: 'simple', mode_mask_json: null, calc_params_json: null, kp_json: null },
  lines: lines.map((l, i) => ({ estimate_id: 7, sort_order: i, line_type: 'full', name: '', ...l })),
  footer: { estimate_id: 7, materials: 0, delivery: 0, advance: 0, show_materials: false, show_delivery: false, show_advance: false, markup_formula: null, extras_json: null },
});

/** A native side that answers like the real one: each save gives the lines new ids. */
function fakeNative(initial: EstimatePayload) {
  let stored = structuredClone(initial);
  let nextLineId = 100;
  let nextItemId = 500;
  // The name memory: one item per name ignoring case, with its uses counted.
  const catalog = new Map<string, { id: number; name: string; category: string; usage_count: number }>();
  const calls: Array<{ command: string; args: Record<string, unknown> }> = [];
  let gate: Promise<void> | null = null;
  const call: Invoke = async <T,>(command: string, args: object = {}) => {
    calls.push({ command, args: args as Record<string, unknown> });
    const a = args as Record<string, never>;
    if (command === 'get_estimate') return structuredClone(stored) as T;
    if (command === 'save_to_global_memory') {
      const key = (a.name as string).toLowerCase();
      const item = catalog.get(key) ?? { id: nextItemId++, name: a.name, category: a.category, usage_count: 0 };
      item.usage_count++;
      catalog.set(key, item);
      return { ...item } as T;
    }
    if (command === 'get_catalog_item') return { ...[...catalog.values()].find((i) => i.id === a.id)! } as T;
    if (command === 'save_catalog_item') {
      const item = a.item as { id: number; name: string; category: string };
      Object.assign(catalog.get(item.name.toLowerCase())!, item);
      return item as T;
    }
    if (command === 'save_estimate') {
      if (gate) await gate;
      const payload = (args as { payload: EstimatePayload }).payload;
      stored = { ...payload, estimate: { ...payload.estimate, updated_at: 'later' }, lines: payload.lines.map((l) => ({ ...l, id: nextLineId++ })) };
      return structuredClone(stored) as T;
    }
    throw new Error(`unexpected ${command}`);
  };
  return {
    call,
    calls,
    catalog,
    stored: () => stored,
    hold() {
      let release!: () => void;
      gate = new Promise((r) => (release = r));
      return () => {
        gate = null;
        release();
      };
    },
  };
}

describe('estimate store', () => {
  let clock = 0;
  beforeEach(() => {
    vi.useFakeTimers();
    clock = 1_000;
  });
  afterEach(() => vi.useRealTimers());

  const rename = (store: EstimateStore, name: string) =>
    store.update((d) => ({ ...d, estimate: { ...d.estimate, object_name: name } }));

  it('opens an estimate with a placeholder line', async () => {
    const empty = new EstimateStore(fakeNative(estimate()).call, () => clock);
    await empty.load(7);
    expect(empty.data!.lines).toEqual([{ estimate_id: 7, sort_order: 0, line_type: 'full', name: '', unit: 'шт', quantity: 1, unit_price: 0, category: 'work' }]);

    const full = new EstimateStore(fakeNative(estimate([{ name: 'Стяжка' }])).call, () => clock);
    await full.load(7);
    expect(full.data!.lines.map((l) => l.name)).toEqual(['Стяжка', '']);
  });

  it('groups changes less than 400 ms apart into one undo step', async () => {
    const store = new EstimateStore(fakeNative(estimate()).call, () => clock);
    await store.load(7);
    for (const name of ['Д', 'До', 'Дом']) {
      rename(store, name);
      clock += 100;
    }
    clock += 400;
    rename(store, 'Дом 2');
    store.undo();
    expect(store.data!.estimate.object_name).toBe('Дом');
    store.undo();
    expect(store.data!.estimate.object_name).toBe('Дом');
    expect(store.getSnapshot().canUndo).toBe(false);
    store.redo();
    store.redo();
    expect(store.data!.estimate.object_name).toBe('Дом 2');
  });

  it('a catalog link written back records no undo step and joins no edits together', async () => {
    const store = new EstimateStore(fakeNative(estimate([{ name: 'Стяжка' }])).call, () => clock);
    await store.load(7);
    rename(store, 'А');
    clock += 300;
    store.amend((d) => ({ ...d, lines: d.lines.map((l) => ({ ...l, catalog_item_id: 9 })) }));
    clock += 300;
    rename(store, 'Б');
    store.undo();
    expect(store.data!.estimate.object_name).toBe('А');
    store.undo();
    expect(store.data!.estimate.object_name).toBe('Дом');
    expect(store.getSnapshot().canUndo).toBe(false);
  });

  it('keeps at most 50 undo steps', async () => {
    const store = new EstimateStore(fakeNative(estimate()).call, () => clock);
    await store.load(7);
    for (let i = 1; i <= 51; i++) {
      rename(store, `n${i}`);
      clock += 500;
    }
    let undos = 0;
    while (store.getSnapshot().canUndo) {
      store.undo();
      undos++;
    }
    expect(undos).toBe(50);
    expect(store.data!.estimate.object_name).toBe('n1');
  });

  it('autosaves 300 ms after the last change, dropping blank lines and registering none', async () => {
    const native = fakeNative(estimate([{ name: ' Стяжка ', unit: 'м²', unit_price: 450 }, { name: 'Раздел', line_type: 'section' }, { name: '   ', unit_price: 99 }]));
    const store = new EstimateStore(native.call, () => clock);
    await store.load(7);
    rename(store, 'Дача');
    await vi.advanceTimersByTimeAsync(299);
    expect(native.calls.filter((c) => c.command === 'save_estimate')).toHaveLength(0);
    await vi.advanceTimersByTimeAsync(1);
    await store.flush();
    expect(native.calls.filter((c) => c.command.includes('memory'))).toEqual([]);
    const sent = native.calls.find((c) => c.command === 'save_estimate')!.args.payload as EstimatePayload;
    expect(sent.lines.map((l) => [l.name, l.sort_order, l.catalog_item_id])).toEqual([[' Стяжка ', 0, undefined], ['Раздел', 1, undefined]]);
    expect(store.data!.lines.map((l) => l.id)).toEqual([100, 101, undefined]);
    expect(store.getSnapshot()).toMatchObject({ saving: false, error: '' });
  });

  it('keeps the name memory free of half-typed names: only the finished name of a row counts, once', async () => {
    const native = fakeNative(estimate([{ name: 'Стяжка', unit: 'м²', unit_price: 450 }]));
    const store = new EstimateStore(native.call, () => clock);
    await store.load(7);
    // A name typed with pauses: every pause saves, none registers.
    for (const name of ['Демонтаж', 'Демонтаж ванн', 'Демонтаж ванны']) {
      store.updateLines((ls) => ls.map((l, i) => (i === 1 ? { ...l, name, catalog_item_id: null } : l)));
      await vi.advanceTimersByTimeAsync(500);
    }
    expect(native.calls.filter((c) => c.command === 'save_estimate').length).toBe(3);
    // The row is left twice, the second time before the first answer: one use.
    const left = store.data!.lines[1];
    const [a, b] = await Promise.all([store.registerLine(left), store.registerLine(left)]);
    expect(a).toBe(b);
    store.amend((d) => ({ ...d, lines: d.lines.map((l, i) => (i === 1 ? { ...l, catalog_item_id: a!.id } : l)) }));
    // Linked now: leaving it again, ten more saves and reopening count nothing.
    expect(await store.registerLine(store.data!.lines[1])).toBeNull();
    for (let i = 0; i < 10; i++) await store.saveNow();
    await store.load(7);
    expect(await store.registerLine(store.data!.lines[1])).toBeNull();
    expect([...native.catalog.values()].map((i) => [i.name, i.usage_count])).toEqual([['Демонтаж ванны', 1]]);
    expect(native.stored().lines[1].catalog_item_id).toBe(a!.id);
  });

  it('counts the pick of a suggestion once and gives a category set with the badge to the item', async () => {
    const native = fakeNative(estimate([{ name: 'Кабель ВВГ', category: 'material' }, { name: 'Штукатурка стен', category: 'material' }]));
    const store = new EstimateStore(native.call, () => clock);
    await store.load(7);
    // Known name, typed: its guessed category stays; the category set with the badge goes to the item.
    native.catalog.set('штукатурка стен', { id: 9, name: 'Штукатурка стен', category: 'work', usage_count: 3 });
    const item = await store.registerLine(store.data!.lines[1]);
    expect(item!.id).toBe(9);
    expect(native.catalog.get('штукатурка стен')).toMatchObject({ category: 'material', usage_count: 4 });
    // A linked line: the pick counts once; the badge later corrects the item without a use.
    const picked = { ...store.data!.lines[0], catalog_item_id: 500 };
    native.catalog.set('кабель ввг', { id: 500, name: 'Кабель ВВГ', category: 'material', usage_count: 0 });
    await store.registerLine(picked, true);
    await store.rememberCategory({ ...picked, category: 'equipment' });
    expect(native.catalog.get('кабель ввг')).toMatchObject({ category: 'equipment', usage_count: 1 });
  });

  it('registers the row still being edited when the estimate is closed', async () => {
    const native = fakeNative(estimate([{ name: 'Песок' }]));
    const store = new EstimateStore(native.call, () => clock);
    await store.load(7);
    store.setLeaveHook(async () => {
      const item = await store.registerLine(store.data!.lines[0]);
      store.amend((d) => ({ ...d, lines: d.lines.map((l, i) => (i === 0 ? { ...l, catalog_item_id: item!.id } : l)) }));
    });
    await store.load(8);
    expect(native.catalog.get('песок')?.usage_count).toBe(1);
    expect(native.stored().lines[0].catalog_item_id).toBe(native.catalog.get('песок')!.id);
  });

  it('keeps edits made while a save runs and saves them afterwards', async () => {
    const native = fakeNative(estimate([{ name: 'Стяжка' }]));
    const store = new EstimateStore(native.call, () => clock);
    await store.load(7);
    const release = native.hold();
    const saving = store.saveNow();
    await vi.advanceTimersByTimeAsync(0);
    expect(store.getSnapshot().saving).toBe(true);
    rename(store, 'Новое имя');
    store.update((d) => ({ ...d, lines: [...d.lines, { estimate_id: 7, sort_order: 9, line_type: 'full', name: 'Песок' }] }));
    release();
    await saving;
    expect(store.data!.estimate).toMatchObject({ object_name: 'Новое имя', updated_at: 'later' });
    expect(store.data!.lines.map((l) => [l.name, l.id, l.sort_order])).toEqual([['Стяжка', 100, 0], ['', undefined, 1], ['Песок', undefined, 2]]);
    await vi.advanceTimersByTimeAsync(300);
    await store.flush();
    expect(native.stored().estimate.object_name).toBe('Новое имя');
  });

  it('reports a failed save and keeps the edits; a failed load keeps the open estimate', async () => {
    const native = fakeNative(estimate([{ name: 'Стяжка' }]));
    let fail = false;
    const call: Invoke = (command, args) => (fail ? Promise.reject(new Error('database is locked')) : native.call(command, args));
    const store = new EstimateStore(call, () => clock);
    await store.load(7);
    fail = true;
    rename(store, 'Дача');
    await store.flush();
    expect(store.getSnapshot()).toMatchObject({ error: 'database is locked', saving: false });
    expect(store.data!.estimate.object_name).toBe('Дача');
    await store.load(8);
    expect(store.data!.estimate.object_name).toBe('Дача');
    fail = false;
    await store.saveNow();
    expect(store.getSnapshot().error).toBe('');
  });

  it('saves a pending change before another estimate is loaded', async () => {
    const native = fakeNative(estimate([{ name: 'Стяжка' }]));
    const store = new EstimateStore(native.call, () => clock);
    await store.load(7);
    rename(store, 'Успеть');
    await store.load(7);
    expect(native.stored().estimate.object_name).toBe('Успеть');
    expect(store.getSnapshot().canUndo).toBe(false);
  });

  it('saves a pending change when the window closes', async () => {
    const native = fakeNative(estimate([{ name: 'Стяжка' }]));
    const store = new EstimateStore(native.call, () => clock);
    await store.load(7);
    installEventBridge();
    const uninstall = installCloseSave(store);
    rename(store, 'Перед закрытием');
    await window.__calcoraBeforeClose!();
    uninstall();
    expect(native.stored().estimate.object_name).toBe('Перед закрытием');
    expect(store.autosavePending).toBe(false);
  });

  it('recalculates formula lines on line and calculator changes', async () => {
    const native = fakeNative(estimate([{ id: 1, name: 'Пол', formula: 'пол' }, { id: 2, name: 'Плинтус', formula: 'line:1.qty / 2' }]));
    const store = new EstimateStore(native.call, () => clock);
    await store.load(7);
    store.setCalcParams(JSON.stringify({ room: { L: 4, W: 5, H: 2.7 } }));
    expect(store.data!.lines.map((l) => l.quantity)).toEqual([20, 10, 1]);
    store.updateLines((lines) => lines.map((l) => (l.id === 1 ? { ...l, formula: '3' } : l)));
    expect(store.data!.lines.map((l) => l.quantity)).toEqual([3, 1.5, 1]);
    // Typing a name gives no formula new inputs. Undone to the record as loaded (no calculator
    // parameters yet), a name typed there gets the quantities a full pass gives.
    const rename = (name: string) => store.updateLines((lines) => lines.map((l) => (l.id === 2 ? { ...l, name } : l)));
    clock += 1000;
    rename('Плинтус МДФ');
    expect(store.data!.lines.map((l) => l.quantity)).toEqual([3, 1.5, 1]);
    store.undo();
    store.undo();
    clock += 1000;
    rename('Плинтус ПВХ');
    expect(store.data!.lines.map((l) => l.quantity)).toEqual([0, 0, 1]);
  });

  it('makes one memory call per line, one after the other, for "remember prices"', async () => {
    const named = Array.from({ length: 40 }, (_, i) => ({ name: `Позиция ${i}`, unit_price: i }));
    const native = fakeNative(estimate(named));
    const store = new EstimateStore(native.call, () => clock);
    await store.load(7);
    await store.rememberPrices();
    const memory = native.calls.filter((c) => c.command === 'save_to_global_memory');
    expect(memory).toHaveLength(40);
    expect(memory.every((c) => c.args.updatePrice === true)).toBe(true);
  });
});

describe('merging a save reply', () => {
  it('never gives a line inserted during the save an id another line holds', () => {
    const reply = estimate([{ id: 1, name: 'A' }, { id: 2, name: 'B' }]);
    // While the save ran the user inserted C before B, and typed into the placeholder.
    const current = estimate([{ id: 1, name: 'A' }, { name: 'C' }, { name: 'B' }, { name: '' }]);
    expect(mergeSaveReply(current, reply).lines.map((l) => [l.name, l.id, l.sort_order])).toEqual([
      ['A', 1, 0], ['C', 2, 1], ['B', undefined, 2], ['', undefined, 3],
    ]);
    const again = mergeSaveReply({ ...current, lines: [{ ...current.lines[0], id: 2 }, ...current.lines.slice(1)] }, reply);
    expect(again.lines.map((l) => l.id)).toEqual([2, undefined, undefined, undefined]);
  });

  it('keeps the line objects that a reply changes nothing in', () => {
    const current = estimate([{ id: 1, name: 'A', catalog_item_id: 3 }, { name: 'B' }, { name: '' }]);
    const merged = mergeSaveReply(current, estimate([{ id: 1, name: 'A', catalog_item_id: 3 }, { id: 2, name: 'B', catalog_item_id: 4 }]));
    expect(merged.lines[0]).toBe(current.lines[0]);
    expect(merged.lines[1]).toMatchObject({ id: 2, catalog_item_id: 4 });
    expect(merged.lines[2]).toBe(current.lines[2]);
  });

  it('takes the reply\'s lines when the page holds none, or one empty line', () => {
    const reply = estimate([{ id: 4, name: 'A' }]);
    expect(mergeSaveReply(estimate([]), reply).lines.map((l) => l.id)).toEqual([4]);
    expect(mergeSaveReply(estimate([]), estimate([])).lines).toEqual([
      { estimate_id: 7, sort_order: 0, line_type: 'full', name: '', unit: 'шт', quantity: 1, unit_price: 0, category: 'work' },
    ]);
  });
});

describe('records carried as JSON text', () => {
  it.each([
    ['{"bold":true,"size":"12","align":"justify"}', { bold: true }],
    ['[1]', {}],
    ['oops', {}],
    ['{"fill":null,"italic":false,"size":14}', { fill: null, italic: false, size: 14 }],
  ])('format %s reads as %o', (text, expected) => {
    expect(readLineFormat(text)).toEqual(expected);
  });

  it('writes only what differs from the default', () => {
    expect(writeLineFormat({ align: 'left' })).toBeNull();
    expect(writeLineFormat({ bold: false, italic: false, font: '', fill: '' })).toBeNull();
    expect(writeLineFormat({ align: 'right', bold: true, size: 14, font: 'Arial', fill: '#FEF3C7', italic: true })).toBe(
      '{"font":"Arial","size":14,"bold":true,"italic":true,"fill":"#FEF3C7","align":"right"}',
    );
  });

  it.each([
    ['simple', '{"skuCost":true,"calculators":true,"proposal":true,"governmentEngine":false}', true],
    ['simple', '{"skuCost":true,"calculators":false,"proposal":false,"governmentEngine":false}', false],
    ['custom', '{"skuCost":true,"calculators":false,"proposal":false,"governmentEngine":false}', true],
    ['custom', 'broken', false],
    ['private', null, true],
    ['weird', null, false],
  ])('mode %s with mask %s shows article and cost: %s', (mode, mask, skuCost) => {
    expect(maskInForce(mode, mask).skuCost).toBe(skuCost);
  });

  it('derives calculator variables; a missing calculator gives none', () => {
    const p = readCalcParams(JSON.stringify({
      room: { L: 4, W: 3, H: 2.5, doors: [{ w: 0.9, h: 2, count: 2 }], windows: [{ w: 20, h: 2, count: 1 }] },
      strip: { length: 10, width: 0.4, height: 'x' },
    }));
    const v = calculatorVariables(p);
    expect(v).toMatchObject({ периметр: 14, пол: 12, потолок: 12, бетон: 0, опалубка: 8 });
    expect(v['стены']).toBeCloseTo(35 - 3.6 - 40);
    expect(v).not.toHaveProperty('точки');
    expect(calculatorVariables(readCalcParams('[]'))).toEqual({});
  });

  it.each([
    [{ line_type: 'fixed', name: ' Выезд ', fixed_total: 1500, category: '' }, { name: 'Выезд', unit: null, price: 1500, lineType: 'fixed', category: 'material' }],
    [{ line_type: 'quantity_only', name: 'Монтаж', unit: '' }, { name: 'Монтаж', unit: 'шт', price: null, lineType: 'quantity_only', category: 'work' }],
    [{ line_type: 'other', name: 'Кран', unit: 'смена', category: 'material' }, { name: 'Кран', unit: 'смена', price: 0, lineType: 'full', category: 'material' }],
    [{ line_type: 'section', name: 'Раздел' }, null],
    [{ line_type: 'full', name: '  ' }, null],
  ])('memory entry of %o', (line, expected) => {
    const entry = memoryEntry({ estimate_id: 1, sort_order: 0, ...line } as EstimateLine);
    expect(entry).toEqual(expected && { ...expected, updatePrice: false });
  });
});
