// The totals block under the printed table (shown only on paper).

import { formatMoney } from '../../money/money';
import type { EstimateTotals } from '../../totals/totals';

export function PrintTotals({ totals }: { totals: EstimateTotals }) {
  const rows: Array<[string, number]> = [
    ['Работы', totals.works],
    ['Материалы', totals.materials],
    ['Техника', totals.equipment],
  ];
  return (
    <section className="print-only print-totals" data-testid="print-totals">
      <dl>
        {rows.map(([label, value]) => (
          <div key={label} className="print-totals-row">
            <dt>{label}</dt>
            <dd>{formatMoney(value)}</dd>
          </div>
        ))}
        <div className="print-totals-row is-grand">
          <dt>Общий итог</dt>
          <dd>{formatMoney(totals.grand)}</dd>
        </div>
      </dl>
    </section>
  );
}
