// The totals printed under the table (hidden on screen).

import type { EstimateFooter } from '../../../model/types';
import { formatMoney } from '../../../money/money';
import { printedTotalsRows } from '../../../totals/printRows';
import type { EstimateFigures } from './useEstimateTotals';
import './totals.css';

export function PrintTotalsBlock({ footer, figures }: { footer: EstimateFooter; figures: EstimateFigures }) {
  return (
    <div className="print-totals" data-testid="print-totals">
      {printedTotalsRows(footer, figures.totals, figures.markup).map((row) => (
        <div key={row.key} className={`print-totals-row${row.strong ? ' is-strong' : ''}${row.ruled ? ' is-ruled' : ''}`}>
          <span>{row.label}</span>
          <span>{formatMoney(row.value)}</span>
        </div>
      ))}
    </div>
  );
}
