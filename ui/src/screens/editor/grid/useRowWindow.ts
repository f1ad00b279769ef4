// The grid's row window: which rows are in the document. Only the rows in sight plus a margin
// are drawn, and the rows the keyboard or the pointer holds; what a keystroke, a scroll or an
// edit costs so does not grow with the estimate. Row heights are measured as rows are drawn
// (a long name wraps, a format enlarges the font) and kept per line; rows never drawn count
// as the usual one-line height.

import { useCallback, useLayoutEffect, useMemo, useRef, useState, type RefObject } from 'react';
import { flushSync } from 'react-dom';
import type { EstimateLine } from '../../../model/types';
import { covers, drawnPieces, rowAt, RowHeights, spanOf, type Piece, type RowSpan } from '../../../grid/rowWindow';

/** A one-line row's height (CSS px) until the first row is measured. */
const FIRST_GUESS_PX = 36;
/** Rows drawn before the scroller has a size. */
const FIRST_ROWS = 40;
/** The window is moved once the view comes nearer than this to its edge (in views)... */
const NEAR_VIEWS = 0.5;
/** ...and then reaches this far beyond the view on each side. */
const FAR_VIEWS = 1;
/** Height changes below this are rounding, not a new layout. */
const SAME_PX = 0.5;

export interface RowWindowInput {
  lines: readonly EstimateLine[];
  hidden: readonly boolean[];
  /** Table zoom in percent: the rows are measured in the table's own pixels. */
  zoom: number;
  scrollerRef: RefObject<HTMLElement | null>;
  bodyRef: RefObject<HTMLElement | null>;
  /** Rows that stay drawn wherever they are (focus, drag, a row being revealed). */
  held: readonly number[];
}

export function useRowWindow({ lines, hidden, zoom, scrollerRef, bodyRef, held }: RowWindowInput): Piece[] {
  const [span, setSpan] = useState<RowSpan>({ start: 0, end: FIRST_ROWS });
  /** Counts measurements that changed a height: the tree is changed in place, this redraws. */
  const [measured, setMeasured] = useState(0);
  const heights = useRef(new WeakMap<EstimateLine, number>());
  const typical = useRef(FIRST_GUESS_PX);
  const tree = useRef<RowHeights | null>(null);
  /** What the tree was last brought in line with. */
  const synced = useRef<{ lines: readonly EstimateLine[]; hidden: readonly boolean[]; usual: number } | null>(null);

  const offsets = useMemo(() => {
    const known = heights.current;
    const usual = typical.current;
    const heightOf = (i: number) => (hidden[i] === true ? 0 : (known.get(lines[i]) ?? usual));
    const t = (tree.current ??= new RowHeights());
    const last = synced.current;
    if (last && last.lines.length === lines.length && last.hidden === hidden && last.usual === usual) {
      // An edited line is a new object: it keeps the height of the one it replaces until it
      // is measured. A keystroke so changes no height, and only its row's entry if any.
      if (last.lines !== lines) {
        for (let i = 0; i < lines.length; i++) {
          const before = last.lines[i];
          if (before === lines[i]) continue;
          const h = known.get(before);
          if (h !== undefined && !known.has(lines[i])) known.set(lines[i], h);
          t.set(i, heightOf(i));
        }
      }
    } else {
      t.reset(lines.length, heightOf);
    }
    synced.current = { lines, hidden, usual };
    return t;
    // eslint-disable-next-line react-hooks/exhaustive-deps -- a measurement changes the tree in place; `measured` says it did
  }, [lines, hidden, measured]);

  const latest = useRef({ offsets, lines, zoom, span });
  useLayoutEffect(() => {
    latest.current = { offsets, lines, zoom, span };
  });

  /** The band of the body in sight, in the table's pixels. */
  const view = useCallback((): { top: number; bottom: number } | null => {
    const scroller = scrollerRef.current;
    const body = bodyRef.current;
    if (!scroller || !body || scroller.clientHeight === 0) return null;
    const scale = latest.current.zoom / 100;
    const top = (scroller.getBoundingClientRect().top - body.getBoundingClientRect().top) / scale;
    return { top, bottom: top + scroller.clientHeight / scale };
  }, [scrollerRef, bodyRef]);

  /** Moves the window when the view has come near its edge; true when it moved. */
  const follow = useCallback((): RowSpan | null => {
    const v = view();
    if (!v) return null;
    const { offsets: o, span: drawn } = latest.current;
    const h = v.bottom - v.top;
    const needed = spanOf(o, v.top - NEAR_VIEWS * h, v.bottom + NEAR_VIEWS * h);
    if (covers(drawn, needed)) return null;
    const next = spanOf(o, v.top - FAR_VIEWS * h, v.bottom + FAR_VIEWS * h);
    latest.current.span = next;
    return next;
  }, [view]);

  // Scrolling draws the rows coming into sight within the same frame.
  useLayoutEffect(() => {
    const scroller = scrollerRef.current;
    if (!scroller) return;
    const onScroll = () => {
      const next = follow();
      if (next) flushSync(() => setSpan(next));
    };
    scroller.addEventListener('scroll', onScroll, { passive: true });
    const resize = new ResizeObserver(onScroll);
    resize.observe(scroller);
    return () => {
      scroller.removeEventListener('scroll', onScroll);
      resize.disconnect();
    };
  }, [scrollerRef, follow]);

  // After a change of the rows' count or heights (lines added or removed, a filter, a row
  // measured) the window still has to cover the view. A keystroke changes neither: it does
  // not wait for the layout this reads.
  const laidOut = useRef({ count: -1, total: -1 });
  useLayoutEffect(() => {
    const count = offsets.count;
    const total = offsets.total;
    if (laidOut.current.count === count && Math.abs(laidOut.current.total - total) <= SAME_PX) return;
    laidOut.current = { count, total };
    const next = follow();
    if (next) setSpan(next);
  }, [offsets, lines, hidden, measured, follow]);

  // Drawn rows are measured when they come and whenever their size changes.
  const observer = useRef<ResizeObserver | null>(null);
  const observed = useRef(new Set<Element>());
  useLayoutEffect(() => {
    const rows = new ResizeObserver((entries) => {
      const { lines: ls, offsets: o, zoom: z } = latest.current;
      const scale = z / 100;
      const v = view();
      const firstInSight = v ? rowAt(o, v.top) : 0;
      let shift = 0;
      let changed = false;
      for (const entry of entries) {
        const el = entry.target as HTMLElement;
        if (!el.isConnected) continue;
        const row = Number(el.dataset.row);
        const line = ls[row];
        if (!line) continue;
        const h = el.getBoundingClientRect().height / scale;
        if (h <= 0) continue;
        const before = heights.current.get(line) ?? typical.current;
        // The usual height is a plain row's: a format's larger font does not count.
        const plain = !line.format_json;
        if (plain && (typical.current === FIRST_GUESS_PX || h < typical.current - SAME_PX)) {
          typical.current = typical.current === FIRST_GUESS_PX ? h : Math.min(typical.current, h);
          changed = true;
        }
        heights.current.set(line, h);
        // The tree takes the height at once when it holds this very line; otherwise the next
        // render brings it in line.
        if (synced.current?.lines[row] === line && Math.abs(h - before) > SAME_PX) o.set(row, h);
        if (Math.abs(h - before) > SAME_PX) {
          changed = true;
          // Rows above the view growing or shrinking must not move what the user looks at.
          if (row < firstInSight) shift += h - before;
        }
      }
      if (!changed) return;
      const scroller = scrollerRef.current;
      // A view at the end stays at the end: the last rows, measured taller, are still in sight.
      const atEnd = scroller !== null && scroller.scrollTop > 0 && scroller.scrollTop + scroller.clientHeight >= scroller.scrollHeight - 2;
      flushSync(() => setMeasured((n) => n + 1));
      if (scroller && atEnd) scroller.scrollTop = scroller.scrollHeight;
      else if (scroller && shift !== 0) scroller.scrollTop += shift * scale;
    });
    observer.current = rows;
    const seen = observed.current;
    return () => {
      rows.disconnect();
      seen.clear();
      observer.current = null;
    };
  }, [scrollerRef, view]);

  useLayoutEffect(() => {
    const body = bodyRef.current;
    const rows = observer.current;
    if (!body || !rows) return;
    const seen = observed.current;
    for (const el of seen) {
      if (!el.isConnected) {
        rows.unobserve(el);
        seen.delete(el);
      }
    }
    for (const el of body.children) {
      if (!seen.has(el) && (el as HTMLElement).dataset.row !== undefined) {
        rows.observe(el);
        seen.add(el);
      }
    }
  });

  // eslint-disable-next-line react-hooks/exhaustive-deps -- the tree changes in place: the lines and `measured` say when
  return useMemo(() => drawnPieces(offsets, span, held, (r) => hidden[r] !== true), [offsets, span, held, hidden, lines, measured]);
}
