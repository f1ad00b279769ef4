// The grid: sticky header and one row per line, hidden rows included, in a scrolling body.
// A long estimate's rows arrive in batches (see useDrawnRows).

import { memo, useCallback, useMemo } from 'react';
import type { GridFocus } from '../../../grid/keyboard';
import { gridMinWidth, gridTemplate } from '../../../grid/columns';
import type { EstimateLine } from '../../../model/types';
import type { ColumnId, ColumnSetting } from '../../../settings/settings';
import { GridHeader } from './GridHeader';
import { GridRow } from './GridRow';
import { useShownLines, type RowRange } from './useShownLines';
import { useWarmBlocks } from './useWarmBlocks';
import type { GridColumn } from './rowActions';
import type { DragState, GridController } from './useGridController';

export interface GridProps {
  lines: readonly EstimateLine[];
  columns: readonly ColumnSetting[];
  zoom: number;
  grid: GridController;
  onResize: (id: ColumnId, width: number) => void;
  onResizeEnd: () => void;
}

/**
 * Rows go in blocks, each memoized on what its own rows show: a keystroke or a batch of new
 * rows compares a few dozen blocks, not every row, and re-renders one block. A block out of
 * sight is skipped by style, layout, paint and hit testing (content-visibility), so what a
 * keystroke's frame costs does not grow with the estimate's length.
 */
const BLOCK_ROWS = 10;
/** A row's usual height, for the space of a block not drawn yet. */
const ROW_REM = 2.25;
/** Rows beyond those in sight that a large change redraws at once. */
const NEAR_ROWS = 100;

interface RowBlockProps {
  lines: readonly EstimateLine[];
  start: number;
  end: number;
  columns: readonly GridColumn[];
  focus: GridFocus;
  current: number;
  hitSet: ReadonlySet<number>;
  hidden: readonly boolean[];
  drag: DragState | null;
  actions: GridController['actions'];
}

const ringOf = (p: RowBlockProps, i: number) => (p.focus.row === i && !p.focus.editing ? p.focus.col : -1);
const dragging = (p: RowBlockProps, i: number) => p.drag?.from === i;
const dropTarget = (p: RowBlockProps, i: number) => p.drag !== null && p.drag.target === i && p.drag.from !== i;

/** What row i shows of the screen state, as one number (no allocation: it runs for every row). */
function rowState(p: RowBlockProps, i: number): number {
  return (
    ringOf(p, i) + 1 +
    (p.focus.row === i ? 8 : 0) +
    (p.current === i ? 16 : 0) +
    (p.hitSet.has(i) ? 32 : 0) +
    (p.hidden[i] === true ? 64 : 0) +
    (dragging(p, i) ? 128 : 0) +
    (dropTarget(p, i) ? 256 : 0)
  );
}

function sameBlock(a: RowBlockProps, b: RowBlockProps): boolean {
  if (a.start !== b.start || a.end !== b.end || a.columns !== b.columns || a.actions !== b.actions) return false;
  for (let i = a.start; i < a.end; i++) {
    if (a.lines[i] !== b.lines[i] || rowState(a, i) !== rowState(b, i)) return false;
  }
  return true;
}

const RowBlock = memo(function RowBlock(p: RowBlockProps) {
  const rows = [];
  let shown = 0;
  for (let i = p.start; i < p.end; i++) {
    if (p.hidden[i] !== true) shown++;
    rows.push(
      <GridRow
        key={i}
        line={p.lines[i]}
        index={i}
        columns={p.columns}
        ring={ringOf(p, i)}
        active={p.focus.row === i}
        current={p.current === i}
        hit={p.hitSet.has(i)}
        hidden={p.hidden[i] === true}
        dragging={dragging(p, i)}
        dropTarget={dropTarget(p, i)}
        actions={p.actions}
      />,
    );
  }
  // The height a skipped block stands in with until it has been drawn once.
  return (
    <div role="presentation" className="row-block" style={{ containIntrinsicSize: `auto ${shown * ROW_REM}rem` }}>
      {rows}
    </div>
  );
}, sameBlock);

export function Grid({ lines, columns, zoom, grid, onResize, onResizeEnd }: GridProps) {
  // Rows see only ids and titles: a width change relays out the tracks without re-rendering rows.
  const columnsKey = columns.map((c) => `${c.id}\u0001${c.title}`).join('\u0002');
  const rowColumns = useMemo<GridColumn[]>(
    () => columnsKey.split('\u0002').map((part) => {
      const [id, title] = part.split('\u0001');
      return { id, title };
    }),
    [columnsKey],
  );
  const hitSet = useMemo(() => new Set(grid.hits), [grid.hits]);
  const { drawn, scrollerRef, focusRef } = grid;
  // The rows in sight (estimated from the scroll position) and those around the focus.
  const near = useCallback((): RowRange[] => {
    const focused = focusRef.current.row;
    const ranges = [{ from: focused - NEAR_ROWS, to: focused + NEAR_ROWS }];
    const scroller = scrollerRef.current;
    if (scroller && drawn > 0) {
      const rowHeight = Math.max(1, scroller.scrollHeight / drawn);
      ranges.push({
        from: Math.floor(scroller.scrollTop / rowHeight) - NEAR_ROWS,
        to: Math.ceil((scroller.scrollTop + scroller.clientHeight) / rowHeight) + NEAR_ROWS,
      });
    }
    return ranges;
  }, [drawn, scrollerRef, focusRef]);
  const shownLines = useShownLines(lines, near);
  useWarmBlocks(grid.gridRef, drawn, lines.length);
  const blocks: number[] = [];
  for (let start = 0; start < Math.min(drawn, lines.length); start += BLOCK_ROWS) blocks.push(start);
  const shared = { lines: shownLines, columns: rowColumns, focus: grid.focus, current: grid.current.row, hitSet, hidden: grid.hidden, drag: grid.drag, actions: grid.actions };

  return (
    <div className="grid-scroller" ref={grid.scrollerRef} data-testid="grid-scroller">
      <div
        ref={grid.gridRef}
        className="grid"
        role="table"
        aria-label="Строки сметы"
        style={{ ['--grid-cols' as string]: gridTemplate(columns), ['--grid-min-width' as string]: `${gridMinWidth(columns)}px` }}
        data-testid="grid"
        onBlur={(e) => grid.gridBlurred(e.relatedTarget)}
      >
        <GridHeader columns={columns} zoom={zoom} onResize={onResize} onResizeEnd={onResizeEnd} />
        <div role="rowgroup" className="grid-body">
          {blocks.map((start) => (
            <RowBlock key={start} start={start} end={Math.min(start + BLOCK_ROWS, drawn, lines.length)} {...shared} />
          ))}
        </div>
      </div>
    </div>
  );
}
