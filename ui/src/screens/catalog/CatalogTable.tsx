// The catalog table, drawn in a window: only the rows in view (and a few around them) are
// in the document, so a catalog of 100,000 items costs no more to show than one of fifty.

import { memo, useCallback, useEffect, useLayoutEffect, useRef, useState, type RefObject } from 'react';
import { priceText, typeLabel, type CatalogItem } from './catalogModel';

const OVERSCAN_ROWS = 12;
const FIRST_GUESS_ROW_PX = 29;

interface Props {
  items: readonly CatalogItem[];
  /** The element that scrolls the table (the screen body). */
  scroller: RefObject<HTMLElement | null>;
  onEdit: (item: CatalogItem) => void;
  onDelete: (item: CatalogItem) => void;
}

interface Window {
  start: number;
  end: number;
}

function sameWindow(a: Window, b: Window) {
  return a.start === b.start && a.end === b.end;
}

export const CatalogTable = memo(function CatalogTable({ items, scroller, onEdit, onDelete }: Props) {
  const body = useRef<HTMLTableSectionElement>(null);
  const rowPx = useRef(FIRST_GUESS_ROW_PX);
  const [range, setRange] = useState<Window>({ start: 0, end: 60 });

  const measure = useCallback(() => {
    const box = scroller.current;
    const tbody = body.current;
    if (!box || !tbody) return;
    const row = tbody.querySelector<HTMLTableRowElement>('tr[data-testid="catalog-row"]');
    if (row && row.offsetHeight > 0) rowPx.current = row.offsetHeight;
    const offset = tbody.getBoundingClientRect().top - box.getBoundingClientRect().top;
    const first = Math.max(0, Math.floor(-offset / rowPx.current) - OVERSCAN_ROWS);
    const count = Math.ceil(box.clientHeight / rowPx.current) + 2 * OVERSCAN_ROWS;
    const next = { start: first, end: first + count };
    setRange((r) => (sameWindow(r, next) ? r : next));
  }, [scroller]);

  useEffect(() => {
    const box = scroller.current;
    if (!box) return;
    let frame = 0;
    const onScroll = () => {
      cancelAnimationFrame(frame);
      frame = requestAnimationFrame(measure);
    };
    box.addEventListener('scroll', onScroll, { passive: true });
    const resize = new ResizeObserver(onScroll);
    resize.observe(box);
    return () => {
      cancelAnimationFrame(frame);
      box.removeEventListener('scroll', onScroll);
      resize.disconnect();
    };
  }, [scroller, measure]);

  // New items (a search, a reload) or a new density: the window is computed again.
  useLayoutEffect(measure, [items, measure]);

  const start = Math.min(range.start, items.length);
  const end = Math.min(range.end, items.length);
  const above = start * rowPx.current;
  const below = (items.length - end) * rowPx.current;

  return (
    <div className="panel table-panel catalog-table-panel">
      <table className="data-table catalog-table" data-testid="catalog-table" aria-rowcount={items.length + 1}>
        <colgroup>
          <col />
          <col style={{ width: 88 }} />
          <col style={{ width: 104 }} />
          <col style={{ width: 112 }} />
          <col style={{ width: 56 }} />
          <col style={{ width: 164 }} />
        </colgroup>
        <thead>
          <tr>
            <th>Наименование</th>
            <th>Ед.изм.</th>
            <th className="num">Цена</th>
            <th>Тип</th>
            <th className="num">Исп.</th>
            <th>
              <span className="sr-only">Действия</span>
            </th>
          </tr>
        </thead>
        <tbody ref={body}>
          {above > 0 && <tr className="spacer-row" style={{ height: above }} aria-hidden="true" />}
          {items.slice(start, end).map((item, i) => (
            <tr key={item.id ?? `new-${i}`} data-testid="catalog-row" data-id={item.id ?? undefined} aria-rowindex={start + i + 2}>
              <td className="cell-name" title={item.name} data-testid="catalog-name">
                {item.name}
              </td>
              <td className="cell-clip">{item.unit || '—'}</td>
              <td className="num" data-testid="catalog-price">
                {priceText(item.default_price)}
              </td>
              <td className="cell-clip">{typeLabel(item.line_type)}</td>
              <td className="num">{item.usage_count ?? 0}</td>
              <td>
                <div className="row-actions">
                  <button type="button" className="btn btn-ghost" onClick={() => onEdit(item)} data-testid="catalog-edit">
                    Изменить
                  </button>
                  <button type="button" className="btn btn-ghost btn-danger" onClick={() => onDelete(item)} data-testid="catalog-delete">
                    Удалить
                  </button>
                </div>
              </td>
            </tr>
          ))}
          {below > 0 && <tr className="spacer-row" style={{ height: below }} aria-hidden="true" />}
        </tbody>
      </table>
    </div>
  );
});
