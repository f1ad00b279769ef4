// Every line of the estimate as it goes to paper, drawn only while the page is printed: the
// screen's grid holds just the rows in sight. Plain text in the grid's own cells, so the print
// rules that lay out the table apply alike; rows hidden by the filter and the empty line at
// the end are left out.

import { memo } from 'react';
import { numberDisplay } from '../../../grid/numberText';
import { isBlankName, type EstimateLine } from '../../../model/types';
import { formatLineSum } from '../../../money/money';
import type { ColumnSetting } from '../../../settings/settings';
import { lineSum } from '../../../totals/totals';
import { GridHeader } from './GridHeader';
import { nameStyle, rowFill } from './GridRow';

interface PrintRowsProps {
  lines: readonly EstimateLine[];
  hidden: readonly boolean[];
  columns: readonly ColumnSetting[];
}

function cellText(line: EstimateLine, column: string): string {
  const type = line.line_type;
  if (type === 'section') return '';
  switch (column) {
    case 'sku':
      return line.sku ?? '';
    case 'cost':
      return numberDisplay(line.cost_price);
    case 'unit':
      return type === 'fixed' ? '' : (line.unit ?? '');
    case 'qty':
      return type === 'fixed' ? '' : numberDisplay(line.quantity);
    case 'price':
      return type === 'fixed' || type === 'quantity_only' ? '' : numberDisplay(line.unit_price);
    case 'total':
      // On paper a fixed sum reads like every other line sum.
      return formatLineSum(type === 'fixed' ? line.fixed_total : lineSum(line));
    default:
      return '';
  }
}

const NUMERIC = new Set(['cost', 'qty', 'price', 'total']);
const noResize = () => undefined;

const PrintRow = memo(function PrintRow({ line, index, columns }: { line: EstimateLine; index: number; columns: readonly ColumnSetting[] }) {
  const fill = rowFill(line);
  const classes = ['grid-row'];
  if (line.line_type === 'section') classes.push('is-section');
  if (fill) classes.push('has-fill');
  return (
    <div role="row" className={classes.join(' ')} style={fill ? { background: fill } : undefined} data-testid="print-row">
      {columns.map((c) => {
        if (c.id === 'num') {
          return (
            <div key={c.id} role="cell" className="cell cell-num">
              <span className="row-number">{index + 1}</span>
            </div>
          );
        }
        if (c.id === 'name') {
          return (
            <div key={c.id} role="cell" className="cell cell-name">
              <span className="name-input" style={nameStyle(line)}>{line.name}</span>
            </div>
          );
        }
        const kind = c.id === 'type' ? ' cell-type' : c.id === 'actions' ? ' cell-actions' : NUMERIC.has(c.id) ? ' cell-sum' : '';
        return (
          <div key={c.id} role="cell" className={`cell${kind}`}>
            {cellText(line, c.id)}
          </div>
        );
      })}
    </div>
  );
});

export function PrintRows({ lines, hidden, columns }: PrintRowsProps) {
  const last = lines.length - 1;
  return (
    <div className="grid print-grid" role="table" aria-label="Строки сметы для печати" data-testid="print-grid">
      <GridHeader columns={columns} zoom={100} onResize={noResize} onResizeEnd={noResize} />
      <div role="rowgroup" className="grid-body">
        {lines.map((line, i) =>
          hidden[i] === true || (i === last && isBlankName(line)) ? null : <PrintRow key={i} line={line} index={i} columns={columns} />,
        )}
      </div>
    </div>
  );
}
