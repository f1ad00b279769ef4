// One row of the grid. Memoized on the line object and the few screen facts it shows, so a
// keystroke re-renders the row it changes and nothing else.

import { memo, type CSSProperties } from 'react';
import { CATEGORY_LABELS, effectiveCategory } from '../../../category/category';
import { readLineFormat } from '../../../estimateStore';
import type { CellCol } from '../../../grid/keyboard';
import { LINE_TYPE_LABELS, LINE_TYPE_ORDER } from '../../../model/lineTypes';
import { isBlankName, type EstimateLine } from '../../../model/types';
import { formatLineSum } from '../../../money/money';
import { numberDisplay } from '../../../grid/numberText';
import { lineSum } from '../../../totals/totals';
import { NameCell } from './NameCell';
import { NumberCell } from './NumberCell';
import { UnitCell } from './UnitCell';
import type { GridColumn, RowActions } from './rowActions';

export interface GridRowProps {
  line: EstimateLine;
  index: number;
  columns: readonly GridColumn[];
  /** The column drawn with the focus ring (focused, not editing), or -1. */
  ring: number;
  /** The row has the grid focus. */
  active: boolean;
  current: boolean;
  hit: boolean;
  hidden: boolean;
  dragging: boolean;
  dropTarget: boolean;
  actions: RowActions;
}

export function nameStyle(line: EstimateLine): CSSProperties {
  const f = readLineFormat(line.format_json);
  const style: CSSProperties = {};
  if (f.font) style.fontFamily = f.font;
  if (f.size) style.fontSize = `${f.size}px`;
  if (line.name_bold || f.bold) style.fontWeight = 700;
  if (f.italic) style.fontStyle = 'italic';
  if (f.align) style.textAlign = f.align;
  return style;
}

export function rowFill(line: EstimateLine): string | undefined {
  return readLineFormat(line.format_json).fill || undefined;
}

/** What a field's cell shows on paper: the grid's own text of the value, without the field. */
function OnPaper({ text }: { text: string }) {
  return <span className="paper-value">{text}</span>;
}

interface CellProps {
  line: EstimateLine;
  index: number;
  column: GridColumn;
  ring: number;
  active: boolean;
  actions: RowActions;
}

function Cell({ line, index, column, ring, active, actions }: CellProps) {
  const type = line.line_type;
  const section = type === 'section';
  const key = (col: CellCol) => (e: Parameters<RowActions['cellKey']>[2]) => actions.cellKey(index, col, e);
  const focus = (col: CellCol) => () => actions.cellFocused(index, col);
  const paste = (col: CellCol) => (e: Parameters<RowActions['paste']>[2]) => actions.paste(index, col, e);
  const ringed = (col: CellCol) => (ring === col ? ' has-ring' : '');

  switch (column.id) {
    case 'num':
      return (
        <div role="cell" className="cell cell-num">
          <button type="button" tabIndex={-1} className="grip" title="Перетащить или выбрать строку" aria-label="Перетащить или выбрать строку" onPointerDown={(e) => actions.gripDown(index, e)} data-testid="row-grip">
            ⠿
          </button>
          <span className="row-number">{index + 1}</span>
        </div>
      );
    case 'name':
      return (
        <div role="cell" className={`cell cell-name${ringed(0)}`}>
          <NameCell line={line} row={index} section={section} label={column.title || 'Наименование'} style={nameStyle(line)} onChange={(v) => actions.setName(index, v)} onChoose={(item) => actions.chooseItem(index, item)} onKeyDown={key(0)} onFocus={focus(0)} onPaste={paste(0)} />
          {!section && !isBlankName(line) && (
            <button type="button" tabIndex={-1} className="cat-badge" data-category={effectiveCategory(line.category)} title="Категория (клик — сменить)" onClick={() => actions.cycleCategory(index)} data-testid="category-badge">
              {CATEGORY_LABELS[effectiveCategory(line.category)]}
            </button>
          )}
          {!section && line.catalog_item_id != null && (
            <button type="button" tabIndex={-1} className="pencil" title="Изменить в справочнике" aria-label="Изменить в справочнике" onClick={() => actions.editItem(index)} data-testid="edit-item">
              ✎
            </button>
          )}
        </div>
      );
    case 'sku':
      return (
        <div role="cell" className="cell">
          {!section && <input className="cell-input" aria-label={column.title} value={line.sku ?? ''} onChange={(e) => actions.setSku(index, e.target.value)} />}
          {!section && <OnPaper text={line.sku ?? ''} />}
        </div>
      );
    case 'cost':
      return (
        <div role="cell" className="cell">
          {!section && <NumberCell label={column.title} value={line.cost_price} onValue={(v) => actions.setNumber(index, 'cost_price', v)} />}
          {!section && <OnPaper text={numberDisplay(line.cost_price)} />}
        </div>
      );
    case 'unit':
      return (
        <div role="cell" className={`cell${ringed(1)}`} data-cell-wrap={`${index}:1`}>
          {type !== 'fixed' && !section && (
            <UnitCell
              value={line.unit ?? ''}
              active={active}
              onChange={(v) => actions.setUnit(index, v)}
              onKeyDown={key(1)}
              onFocus={focus(1)}
              onPaste={paste(1)}
              onHandOver={() => actions.unitHandOver(index)}
            />
          )}
          {type !== 'fixed' && !section && <OnPaper text={line.unit ?? ''} />}
        </div>
      );
    case 'qty':
      return (
        <div role="cell" className={`cell${ringed(2)}`}>
          {!section && type !== 'fixed' && <NumberCell label={column.title} cell={`${index}:2`} value={line.quantity} onValue={(v) => actions.setNumber(index, 'quantity', v)} onFocus={focus(2)} onKeyDown={key(2)} onPaste={paste(2)} />}
          {!section && type !== 'fixed' && <OnPaper text={numberDisplay(line.quantity)} />}
        </div>
      );
    case 'price':
      return (
        <div role="cell" className={`cell${ringed(3)}`}>
          {!section && type !== 'fixed' && type !== 'quantity_only' && <NumberCell label={column.title} cell={`${index}:3`} value={line.unit_price} onValue={(v) => actions.setNumber(index, 'unit_price', v)} onFocus={focus(3)} onKeyDown={key(3)} onPaste={paste(3)} />}
          {!section && type !== 'fixed' && type !== 'quantity_only' && <OnPaper text={numberDisplay(line.unit_price)} />}
        </div>
      );
    case 'total':
      if (type === 'fixed') {
        return (
          <div role="cell" className={`cell${ringed(4)}`}>
            <NumberCell label={column.title} cell={`${index}:4`} value={line.fixed_total} onValue={(v) => actions.setNumber(index, 'fixed_total', v)} onFocus={focus(4)} onKeyDown={key(4)} onPaste={paste(4)} />
            {/* On paper a fixed sum reads like every other line sum. */}
            <OnPaper text={formatLineSum(lineSum(line))} />
          </div>
        );
      }
      return <div role="cell" className="cell cell-sum" data-testid="line-sum" title={section ? undefined : formatLineSum(lineSum(line))}>{section ? '' : formatLineSum(lineSum(line))}</div>;
    case 'type':
      return (
        <div role="cell" className="cell cell-type">
          <select className="cell-select" aria-label={column.title || 'Тип'} value={LINE_TYPE_ORDER.includes(type as never) ? type : 'full'} onChange={(e) => actions.setType(index, e.target.value)} data-testid="type-select">
            {LINE_TYPE_ORDER.map((t) => (
              <option key={t} value={t}>
                {LINE_TYPE_LABELS[t]}
              </option>
            ))}
          </select>
        </div>
      );
    case 'actions':
      return (
        <div role="cell" className="cell cell-actions">
          <button type="button" tabIndex={-1} className="row-delete" title="Удалить строку" aria-label="Удалить строку" onClick={() => actions.remove(index)} data-testid="row-delete">
            ✕
          </button>
        </div>
      );
    default:
      return <div role="cell" className="cell" />;
  }
}

/** Fields a row does not show: a save's reply filling them in redraws nothing. */
const UNSHOWN = new Set(['id', 'estimate_id', 'sort_order', 'catalog_item_id']);

/** The two lines look the same in a row (a link shows only as the pencil). */
export function sameShownLine(a: EstimateLine, b: EstimateLine): boolean {
  if (a === b) return true;
  if ((a.catalog_item_id == null) !== (b.catalog_item_id == null)) return false;
  const fields = a as unknown as Record<string, unknown>;
  const others = b as unknown as Record<string, unknown>;
  for (const key in fields) if (!UNSHOWN.has(key) && fields[key] !== others[key]) return false;
  for (const key in others) if (!UNSHOWN.has(key) && !(key in fields) && others[key] !== undefined) return false;
  return true;
}

function sameRow(a: GridRowProps, b: GridRowProps): boolean {
  return (
    sameShownLine(a.line, b.line) &&
    a.index === b.index && a.columns === b.columns && a.ring === b.ring && a.active === b.active &&
    a.current === b.current && a.hit === b.hit && a.hidden === b.hidden && a.dragging === b.dragging &&
    a.dropTarget === b.dropTarget && a.actions === b.actions
  );
}

export const GridRow = memo(function GridRow({ line, index, columns, ring, active, current, hit, hidden, dragging, dropTarget, actions }: GridRowProps) {
  const section = line.line_type === 'section';
  const classes = ['grid-row'];
  if (section) classes.push('is-section');
  if (current) classes.push('is-current');
  if (hit) classes.push('is-hit');
  if (dragging) classes.push('is-dragging');
  if (dropTarget) classes.push('is-drop-target');
  if (isBlankName(line)) classes.push('is-blank');
  const fill = rowFill(line);
  if (fill) classes.push('has-fill');
  return (
    <div role="row" className={classes.join(' ')} data-row={index} aria-rowindex={index + 2} data-testid="grid-row" hidden={hidden} style={fill ? { background: fill } : undefined} onContextMenu={(e) => actions.rowMenu(index, e)}>
      {columns.map((column) => (
        <Cell key={column.id} line={line} index={index} column={column} ring={ring} active={active} actions={actions} />
      ))}
    </div>
  );
}, sameRow);
