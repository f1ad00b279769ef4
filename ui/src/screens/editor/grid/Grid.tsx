// The grid: sticky header and the rows of the estimate in a scrolling body. Only the rows in
// sight (and a margin, and the rows the keyboard or the pointer holds) are in the document;
// the others keep their place as gaps, and a printout draws every line (PrintRows).

import { useMemo } from 'react';
import { gridMinWidth, gridTemplate } from '../../../grid/columns';
import type { EstimateLine } from '../../../model/types';
import type { ColumnId, ColumnSetting } from '../../../settings/settings';
import { GridHeader } from './GridHeader';
import { GridRow } from './GridRow';
import { PrintRows } from './PrintRows';
import type { GridColumn } from './rowActions';
import type { GridController } from './useGridController';
import { usePrinting } from './usePrinting';
import { useRowWindow } from './useRowWindow';

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
  const held = grid.heldRows();
  const heldKey = held.join(',');
  // eslint-disable-next-line react-hooks/exhaustive-deps -- the same rows, whatever array holds them
  const heldRows = useMemo(() => held, [heldKey]);
  const pieces = useRowWindow({ lines, hidden: grid.hidden, zoom, scrollerRef: grid.scrollerRef, bodyRef: grid.bodyRef, held: heldRows });
  const printing = usePrinting();
  const { focus, drag } = grid;
  const current = grid.current.row;

  return (
    <>
      <div className="grid-scroller" ref={grid.scrollerRef} data-testid="grid-scroller">
        <div
          ref={grid.gridRef}
          className="grid"
          role="table"
          aria-label="Строки сметы"
          aria-rowcount={lines.length + 1}
          style={{ ['--grid-cols' as string]: gridTemplate(columns), ['--grid-min-width' as string]: `${gridMinWidth(columns)}px` }}
          data-testid="grid"
          onFocus={(e) => grid.fieldFocused(e.target)}
          onBlur={(e) => grid.gridBlurred(e.relatedTarget)}
        >
          <GridHeader columns={columns} zoom={zoom} onResize={onResize} onResizeEnd={onResizeEnd} />
          <div role="rowgroup" className="grid-body" ref={grid.bodyRef}>
            {pieces.map((p, k) => {
              if ('gap' in p) return <div key={`gap${k}`} className="row-gap" aria-hidden="true" style={{ height: p.gap }} />;
              const i = p.row;
              const ring = focus.row === i && !focus.editing ? focus.col : -1;
              return (
                <GridRow
                  key={i}
                  line={lines[i]}
                  index={i}
                  columns={rowColumns}
                  ring={ring}
                  active={focus.row === i}
                  current={current === i}
                  hit={hitSet.has(i)}
                  hidden={false}
                  dragging={drag?.from === i}
                  dropTarget={drag !== null && drag.target === i && drag.from !== i}
                  actions={grid.actions}
                />
              );
            })}
          </div>
        </div>
      </div>
      {printing && <PrintRows lines={lines} hidden={grid.hidden} columns={columns} />}
    </>
  );
}
