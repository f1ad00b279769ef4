// The editor's grid state (focus, current row, filter, search, row menu, drag) and every
// change a row, key or tool makes. Rows get one stable action object; the state they show
// comes in as plain props.

import { useEffect, useLayoutEffect, useMemo, useRef, useState, type PointerEvent as ReactPointerEvent } from 'react';
import { nextCategory } from '../../../category/category';
import type { EstimateStore, LineFormat } from '../../../estimateStore';
import { enterInCell, focusAfterRemove, INITIAL_FOCUS, type CellCol, type GridFocus, type GridShape } from '../../../grid/keyboard';
import {
  applyFormatTool, duplicateLine, fillDown, insertEmptyLine, removeLine, rowShown, switchLineType, toggleBold, type CategoryFilter,
} from '../../../grid/lineEdits';
import { indexAfterMove, isDrag, moveItem } from '../../../grid/reorder';
import { hitRow, searchHits } from '../../../grid/search';
import { pasteBlock, pastedCellText, singlePastedValue } from '../../../grid/paste';
import { lineToTsv } from '../../../grid/tsv';
import { normalizeUnit } from '../../../units/units';
import { isBlankName, newEmptyLine, renumber, type EstimateLine, type EstimatePayload } from '../../../model/types';
import { fillLineFromItem, typeName } from '../../../suggestions/fillLine';
import { copyText, focusCellField, insertTyped, revealRow } from './domFocus';
import type { RowActions } from './rowActions';
import { scrollNearEdges } from './edgeScroll';

export interface RowMenuState {
  row: number;
  x: number;
  y: number;
}

export interface DragState {
  from: number;
  target: number | null;
}

export interface GridSeams {
  /** The pencil of a linked line. */
  onEditItem?: (row: number) => void;
  /** A pasted block had figures beyond the limit: their cells kept their values. */
  onPasteRefused?: (cells: number) => void;
}

function replaceAt(lines: readonly EstimateLine[], row: number, change: (line: EstimateLine) => EstimateLine): EstimateLine[] {
  if (row < 0 || row >= lines.length) return lines.slice();
  const out = lines.slice();
  out[row] = change(lines[row]);
  return out;
}

const NONE_HIDDEN: readonly boolean[] = [];

export function useGridController(store: EstimateStore, data: EstimatePayload, seams: GridSeams) {
  const [focus, setFocusState] = useState<GridFocus>(INITIAL_FOCUS);
  const [current, setCurrentState] = useState({ row: 0, col: 0 as CellCol });
  const [filter, setFilterState] = useState<CategoryFilter>('all');
  const [search, setSearchState] = useState('');
  const [hitIndex, setHitIndex] = useState(0);
  const [menu, setMenu] = useState<RowMenuState | null>(null);
  const [drag, setDrag] = useState<DragState | null>(null);

  const gridRef = useRef<HTMLDivElement>(null);
  const scrollerRef = useRef<HTMLDivElement>(null);
  const bodyRef = useRef<HTMLDivElement>(null);
  /** The row whose field has the keyboard (any field, the type drop-down included). */
  const fieldRow = useRef<number | null>(null);
  /** The row whose grip the pointer holds. */
  const gripRow = useRef<number | null>(null);
  const dataRef = useRef(data);
  const focusRef = useRef(focus);
  const currentRef = useRef(current);
  const filterRef = useRef(filter);
  const seamsRef = useRef(seams);
  /** The row the keyboard is in, for registering it in the name memory when it is left. */
  const enteredRow = useRef<number | null>(null);
  /** That row's line as it was entered: a row left unchanged was not worked on, and is not registered. */
  const enteredLine = useRef<EstimateLine | null>(null);
  const pendingFocus = useRef<GridFocus | null>(null);
  const hitIndexRef = useRef(0);
  const pendingReveal = useRef<number | null>(null);
  const keepScroll = useRef<number | null>(null);
  useLayoutEffect(() => {
    dataRef.current = data;
    seamsRef.current = seams;
  });

  // With every category shown no row is hidden: no per-keystroke array for a long estimate.
  const hidden = useMemo(() => (filter === 'all' ? NONE_HIDDEN : data.lines.map((l) => !rowShown(l, filter))), [data.lines, filter]);
  const hits = useMemo(() => searchHits(data.lines, search), [data.lines, search]);
  const hiddenRef = useRef(hidden);
  const hitsRef = useRef(hits);
  useLayoutEffect(() => {
    hiddenRef.current = hidden;
    hitsRef.current = hits;
  });

  // DOM focus and scrolling follow the state once the rows are drawn: the row the focus moves
  // to, or that a search shows, is held in the window, so it is in the document by now.
  useLayoutEffect(() => {
    const root = gridRef.current;
    const scroller = scrollerRef.current;
    if (!root || !scroller) return;
    if (keepScroll.current !== null) {
      scroller.scrollTop = keepScroll.current;
      keepScroll.current = null;
    }
    const f = pendingFocus.current;
    if (f) {
      pendingFocus.current = null;
      focusCellField(root, scroller, f.row, f.col);
    }
    const reveal = pendingReveal.current;
    if (reveal !== null) {
      revealRow(root, scroller, reveal);
      pendingReveal.current = null;
    }
  });

  const controller = useMemo(() => {
    // The store's own record: it is already changed within the same event, before a render.
    const lines = () => store.data?.lines ?? dataRef.current.lines;
    const estimateId = () => dataRef.current.estimate.id;
    const shape = (): GridShape => ({ types: lines().map((l) => l.line_type), hidden: (r) => hiddenRef.current[r] === true });

    const setFocus = (f: GridFocus) => {
      focusRef.current = f;
      setFocusState(f);
    };
    const setCurrent = (row: number, col: CellCol) => {
      const c = { row, col };
      currentRef.current = c;
      setCurrentState(c);
    };

    /**
     * Registers a line the user is done with in the name memory and links it to the item that
     * comes back; `counted` for a suggestion just picked, whose line is linked already.
     */
    const register = (line: EstimateLine | undefined, counted = false): Promise<void> => {
      if (!line) return Promise.resolve();
      return store
        .registerLine(line, counted)
        .then((item) => {
          const d = store.data;
          if (!item || !d) return;
          const i = d.lines.findIndex((l) => l === line || (line.id != null && l.id === line.id));
          if (i < 0 || d.lines[i].catalog_item_id === item.id) return;
          store.amend((cur) => ({ ...cur, lines: replaceAt(cur.lines, i, (l) => ({ ...l, catalog_item_id: item.id })) }));
        })
        // A failed registration only leaves the line without its link.
        .catch(() => undefined);
    };

    /** The keyboard enters a row: the row left behind is registered, once, if it was worked on. */
    const enterRow = (row: number) => {
      const left = enteredRow.current;
      if (left === row) return;
      const atEntry = enteredLine.current;
      enteredRow.current = row;
      enteredLine.current = lines()[row] ?? null;
      if (left === null) return;
      // The row's full unit field goes away with the focus, before it could normalise on blur.
      const unit = lines()[left]?.unit;
      if (unit && normalizeUnit(unit) !== unit) setLine(left, (l) => ({ ...l, unit: normalizeUnit(l.unit ?? '') }));
      if (lines()[left] !== atEntry) void register(lines()[left]);
    };

    const updateLines = (change: (ls: EstimateLine[]) => EstimateLine[]) => store.updateLines(change);
    const setLine = (row: number, change: (line: EstimateLine) => EstimateLine) => updateLines((ls) => replaceAt(ls, row, change));

    const moveFocus = (f: GridFocus, edit: boolean) => {
      setFocus(f);
      setCurrent(f.row, f.col);
      if (edit) {
        enterRow(f.row);
        pendingFocus.current = f;
      }
    };

    /** Line indexes shift after an insertion, removal or move: the focus and current row follow. */
    const shiftRows = (map: (row: number) => number) => {
      const f = focusRef.current;
      setFocus({ ...f, row: map(f.row) });
      setCurrent(map(currentRef.current.row), currentRef.current.col);
      if (enteredRow.current !== null) enteredRow.current = map(enteredRow.current);
    };

    /** A new empty line at the end, its name edited; the row left (often the last) is registered first. */
    const appendAndEdit = () => {
      const ls = lines();
      const left = enteredRow.current;
      const atEntry = enteredLine.current;
      enteredRow.current = ls.length;
      if (left !== null && ls[left] !== atEntry) void register(ls[left]);
      updateLines((current) => [...current, newEmptyLine(estimateId(), current.length)]);
      enteredLine.current = lines()[ls.length] ?? null;
      moveFocus({ row: ls.length, col: 0, editing: true }, true);
    };

    const actions: RowActions = {
      // Typing a name drops the catalog link: the line no longer is that item.
      setName: (row, name) => setLine(row, (l) => (l.line_type === 'section' ? { ...l, name } : typeName(l, name))),
      chooseItem: (row, item) => {
        setLine(row, (l) => fillLineFromItem(l, item));
        void register(lines()[row], true);
      },
      setUnit: (row, unit) => setLine(row, (l) => ({ ...l, unit })),
      setSku: (row, sku) => setLine(row, (l) => ({ ...l, sku: sku === '' ? null : sku })),
      setNumber: (row, field, value) =>
        setLine(row, (l) => {
          const next = { ...l };
          if (value !== undefined) next[field] = value;
          else if (field === 'cost_price') next.cost_price = null;
          else delete next[field];
          return next;
        }),
      setType: (row, lineType) => setLine(row, (l) => switchLineType(l, lineType)),
      cycleCategory: (row) => {
        setLine(row, (l) => ({ ...l, category: nextCategory(l.category) }));
        // A linked line's item takes the corrected category at once; an unlinked line carries
        // it to its item when it is registered.
        const line = lines()[row];
        if (line?.catalog_item_id != null) store.rememberCategory(line).catch(() => undefined);
      },
      remove: (row) => {
        const scroller = scrollerRef.current;
        if (scroller) keepScroll.current = scroller.scrollTop;
        const count = lines().length - 1;
        updateLines((ls) => removeLine(ls, row));
        const f = focusAfterRemove(focusRef.current, row, count);
        const wasFocused = focusRef.current.row === row;
        setFocus(f);
        const c = currentRef.current;
        setCurrent(c.row > row ? c.row - 1 : Math.min(c.row, Math.max(count - 1, 0)), c.col);
        if (enteredRow.current !== null) enteredRow.current = enteredRow.current > row ? enteredRow.current - 1 : enteredRow.current === row ? null : enteredRow.current;
        if (wasFocused) (document.activeElement as HTMLElement | null)?.blur?.();
      },
      cellFocused: (row, col) => {
        enterRow(row);
        const f = focusRef.current;
        if (f.row !== row || f.col !== col || !f.editing) setFocus({ row, col, editing: true });
        const c = currentRef.current;
        if (c.row !== row || c.col !== col) setCurrent(row, col);
      },
      unitHandOver: (row) => moveFocus({ row, col: 1, editing: true }, true),
      cellKey: (row, col, e) => {
        if (e.key !== 'Enter' || e.defaultPrevented || e.nativeEvent.isComposing || e.ctrlKey || e.metaKey || e.altKey) return;
        e.preventDefault();
        const result = enterInCell(row, col, shape());
        if (result.append) appendAndEdit();
        else moveFocus(result.focus, true);
      },
      paste: (row, col, e) => {
        const text = e.clipboardData.getData('text/plain');
        const single = singlePastedValue(text);
        e.preventDefault();
        if (single !== null) {
          // One copied cell goes in like typed text, so the field's own rules and undo apply. A
          // copied number or unit takes the cell's place, as in a spreadsheet; a name piece goes
          // in at the cursor.
          insertTyped(pastedCellText(single, col), col !== 0);
          return;
        }
        const block = pasteBlock(lines(), row, col, text, estimateId());
        if (!block) return;
        updateLines(() => block.lines);
        if (block.refused > 0) seamsRef.current.onPasteRefused?.(block.refused);
        moveFocus({ row: block.first, col, editing: true }, true);
      },
      gripDown: (row, e: ReactPointerEvent<HTMLElement>) => {
        if (e.button !== 0) return;
        e.preventDefault();
        const grip = e.currentTarget;
        const startY = e.clientY;
        let dragging = false;
        let target: number | null = null;
        let pointer = { x: e.clientX, y: e.clientY };
        // The row stays drawn while its grip holds the pointer, wherever the list scrolls.
        gripRow.current = row;
        grip.setPointerCapture(e.pointerId);
        const aim = () => {
          const over = document.elementFromPoint(pointer.x, pointer.y)?.closest<HTMLElement>('.grid-body > [data-row]');
          target = over ? Number(over.dataset.row) : null;
          setDrag({ from: row, target });
        };
        // Near the list's top or bottom edge it scrolls, and the row under the pointer changes.
        const edges = scrollNearEdges(() => scrollerRef.current, () => pointer.y, aim);
        const onMove = (ev: PointerEvent) => {
          pointer = { x: ev.clientX, y: ev.clientY };
          if (!dragging && !isDrag(startY, ev.clientY)) return;
          dragging = true;
          aim();
          edges.check();
        };
        const onUp = () => {
          grip.removeEventListener('pointermove', onMove);
          grip.removeEventListener('pointerup', onUp);
          grip.removeEventListener('pointercancel', onCancel);
          edges.stop();
          gripRow.current = null;
          setDrag(null);
          if (!dragging) {
            (document.activeElement as HTMLElement | null)?.blur?.();
            enterRow(row);
            setFocus({ row, col: 0, editing: false });
            setCurrent(row, 0);
            return;
          }
          if (target === null || target === row) return;
          const to = target;
          updateLines((ls) => renumber(moveItem(ls, row, to)));
          shiftRows((r) => indexAfterMove(r, row, to));
        };
        const onCancel = () => {
          dragging = false;
          target = null;
          onUp();
        };
        grip.addEventListener('pointermove', onMove);
        grip.addEventListener('pointerup', onUp);
        grip.addEventListener('pointercancel', onCancel);
      },
      rowMenu: (row, e) => {
        e.preventDefault();
        setMenu({ row, x: e.clientX, y: e.clientY });
      },
      editItem: (row) => seamsRef.current.onEditItem?.(row),
    };

    return {
      actions,
      /** Rows the window keeps drawn: the focus, a field's row, a held grip, rows about to be focused or shown. */
      heldRows: (): number[] => {
        const rows = [focusRef.current.row];
        if (fieldRow.current !== null) rows.push(fieldRow.current);
        if (gripRow.current !== null) rows.push(gripRow.current);
        if (pendingFocus.current) rows.push(pendingFocus.current.row);
        if (pendingReveal.current !== null) rows.push(pendingReveal.current);
        return rows;
      },
      /** A field of the grid took the keyboard: its row stays drawn while it has it. */
      fieldFocused: (target: EventTarget) => {
        const row = target instanceof HTMLElement ? target.closest<HTMLElement>('[data-row]')?.dataset.row : undefined;
        fieldRow.current = row === undefined ? null : Number(row);
      },
      /** The row being edited is done with: registered if it was worked on since it was entered. */
      leaveEditedRow: (): Promise<void> => {
        const row = enteredRow.current;
        const atEntry = enteredLine.current;
        enteredRow.current = null;
        enteredLine.current = null;
        return row === null || lines()[row] === atEntry ? Promise.resolve() : register(lines()[row]);
      },
      moveFocus,
      shape,
      appendAndEdit,
      setFilter: (f: CategoryFilter) => {
        filterRef.current = f;
        setFilterState(f);
        setFocus({ row: 0, col: 0, editing: false });
        setCurrent(0, 0);
      },
      setSearch: (text: string) => {
        setSearchState(text);
        hitIndexRef.current = 0;
        setHitIndex(0);
      },
      nextHit: () => {
        const n = hitsRef.current.length;
        const next = n === 0 ? 0 : (hitIndexRef.current + 1) % n;
        hitIndexRef.current = next;
        setHitIndex(next);
        const row = hitRow(hitsRef.current, next);
        if (row !== null) {
          setCurrent(row, currentRef.current.col);
          pendingReveal.current = row;
        }
      },
      fillDown: () => {
        const { row, col } = focusRef.current;
        const filled = fillDown(lines(), row, col);
        if (!filled) return;
        updateLines((ls) => fillDown(ls, row, col) ?? ls);
        void register(lines()[row]);
      },
      duplicate: (row = currentRef.current.row) => {
        if (row >= lines().length) return;
        updateLines((ls) => duplicateLine(ls, row));
        shiftRows((r) => (r > row ? r + 1 : r));
      },
      insertAt: (at: number) => {
        updateLines((ls) => insertEmptyLine(ls, at, estimateId()));
        shiftRows((r) => (r >= at ? r + 1 : r));
      },
      /** Ctrl+C copies a named row only; the row menu copies whatever row it was opened on. */
      copyRow: (row = currentRef.current.row, anyName = false) => {
        const line = lines()[row];
        if (!line || (!anyName && isBlankName(line))) return false;
        copyText(lineToTsv(line));
        return true;
      },
      toggleBold: () => setLine(currentRef.current.row, toggleBold),
      applyFormat: (change: Partial<LineFormat>) => setLine(currentRef.current.row, (l) => applyFormatTool(l, change)),
      addSection: () =>
        updateLines((ls) => [
          ...ls,
          { estimate_id: estimateId(), sort_order: ls.length, line_type: 'section', name: 'Новый раздел', unit: '', category: 'work' },
        ]),
      closeMenu: () => setMenu(null),
      /** The keyboard left the grid's fields: the cell stays focused, drawn with the ring. */
      gridBlurred: (next: EventTarget | null) => {
        const inGrid = next instanceof HTMLElement && gridRef.current?.contains(next) === true;
        if (!inGrid) fieldRow.current = null;
        if (inGrid && (next instanceof HTMLInputElement || next instanceof HTMLSelectElement)) return;
        const f = focusRef.current;
        if (f.editing) setFocus({ ...f, editing: false });
      },
    };
  }, [store]);

  // The row still being edited when the estimate is closed (another one opened, the editor
  // left, the window closed) is done with too, like a row left for another.
  useEffect(() => {
    store.setLeaveHook(controller.leaveEditedRow);
    return () => {
      store.setLeaveHook(null);
      void controller.leaveEditedRow();
    };
  }, [store, controller]);

  return { ...controller, focus, focusRef, current, filter, search, hitIndex, hits, hidden, menu, drag, gridRef, scrollerRef, bodyRef };
}

export type GridController = ReturnType<typeof useGridController>;
