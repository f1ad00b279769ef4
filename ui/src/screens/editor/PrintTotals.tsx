// The totals block under the printed table (shown only on paper).

import type { EstimateFooter } from '../../model/types';
import { formatMoney } from '../../money/money';
import { printedTotalsRows } from '../../totals/printRows';
import type { EstimateFigures } from './totals/useEstimateTotals';

export function PrintTotals({ footer, figures }: { footer: EstimateFooter; figures: EstimateFigures }) {
  return (
    <section className="print-only print-totals" data-testid="print-totals">
      <dl>
        {printedTotalsRows(footer, figures.totals, figures.markup).map((row) => (
          <div key={row.key} className={`print-totals-row${row.strong ? ' is-strong' : ''}${row.ruled ? ' is-grand' : ''}`}>
            <dt>{row.label}</dt>
            <dd>{formatMoney(row.value)}</dd>
          </div>
        ))}
      </dl>
    </section>
  );
}
