// The grid: sticky header and one row per line, hidden rows included, in a scrolling body.
// A long estimate's rows arrive in batches (see useDrawnRows).

import { useMemo } from 'react';
import { gridMinWidth, gridTemplate } from '../../../grid/columns';
import type { EstimateLine } from '../../../model/types';
import type { ColumnId, ColumnSetting } from '../../../settings/settings';
import { GridHeader } from './GridHeader';
import { GridRow } from './GridRow';
import type { GridColumn } from './rowActions';
import type { GridController } from './useGridController';

export interface GridProps {
  lines: readonly EstimateLine[];
  columns: readonly ColumnSetting[];
  zoom: number;
  grid: GridController;
  onResize: (id: ColumnId, width: number) => void;
  onResizeEnd: () => void;
}

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
  const { focus, current, hidden, drag, drawn } = grid;
  const drawnLines = drawn < lines.length ? lines.slice(0, drawn) : lines;

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
          {drawnLines.map((line, i) => (
            <GridRow
              key={i}
              line={line}
              index={i}
              columns={rowColumns}
              ring={focus.row === i && !focus.editing ? focus.col : -1}
              active={focus.row === i}
              current={current.row === i}
              hit={hitSet.has(i)}
              hidden={hidden[i] === true}
              dragging={drag?.from === i}
              dropTarget={drag !== null && drag.target === i && drag.from !== i}
              actions={grid.actions}
            />
          ))}
        </div>
      </div>
    </div>
  );
}
