// The sticky header of the grid: column titles with a grip on the right edge for resizing.

import { useRef, type PointerEvent } from 'react';
import { columnWidth, resizedWidth } from '../../../grid/columns';
import type { ColumnId, ColumnSetting } from '../../../settings/settings';

export interface GridHeaderProps {
  columns: readonly ColumnSetting[];
  zoom: number;
  /** Live width while dragging. */
  onResize: (id: ColumnId, width: number) => void;
  /** Released: the list is stored. */
  onResizeEnd: () => void;
}

export function GridHeader({ columns, zoom, onResize, onResizeEnd }: GridHeaderProps) {
  const drag = useRef<{ id: ColumnId; startX: number; startWidth: number } | null>(null);

  const down = (column: ColumnSetting, e: PointerEvent<HTMLSpanElement>) => {
    if (e.button !== 0) return;
    e.preventDefault();
    e.stopPropagation();
    const cell = e.currentTarget.parentElement!;
    // The name column grows with the window: its start is the width it shows, unscaled.
    const startWidth = column.id === 'name' ? cell.getBoundingClientRect().width / (zoom / 100) : (columnWidth(column) ?? cell.offsetWidth);
    drag.current = { id: column.id, startX: e.clientX, startWidth };
    e.currentTarget.setPointerCapture(e.pointerId);
  };
  const move = (e: PointerEvent<HTMLSpanElement>) => {
    const d = drag.current;
    if (!d) return;
    onResize(d.id, resizedWidth(d.startWidth, e.clientX - d.startX, zoom));
  };
  const up = () => {
    if (!drag.current) return;
    drag.current = null;
    onResizeEnd();
  };

  return (
    <div role="row" className="grid-row grid-head" aria-rowindex={1} data-testid="grid-head">
      {columns.map((c) => (
        <div key={c.id} role="columnheader" className={`cell head-cell head-${c.id}`} title={c.id === 'unit' ? 'Единица измерения' : undefined} data-column={c.id}>
          <span className="head-title">{c.title || (c.id === 'actions' ? <span className="sr-only">Действия</span> : '')}</span>
          {c.id !== 'actions' && (
            <span className="col-grip" aria-hidden="true" onPointerDown={(e) => down(c, e)} onPointerMove={move} onPointerUp={up} onPointerCancel={up} data-testid={`grip-${c.id}`} />
          )}
        </div>
      ))}
    </div>
  );
}
