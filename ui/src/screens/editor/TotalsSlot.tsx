// The place of the totals panel at the right of the grid. It shows the main figures and the
// button that hides the panel; the full totals panel takes this place.

import { ChevronRight } from 'lucide-react';
import type { EstimatePayload } from '../../model/types';
import { formatMoney } from '../../money/money';
import type { EstimateTotals } from '../../totals/totals';
import type { MarkupResult } from '../../totals/markup';

export interface TotalsSlotProps {
  data: EstimatePayload;
  totals: EstimateTotals;
  markup: MarkupResult;
  onHide: () => void;
}

export function TotalsSlot({ data, totals, markup, onHide }: TotalsSlotProps) {
  const rows: Array<[string, number]> = [
    ['Работы', totals.works],
    ['Материалы', totals.materials],
    ['Техника', totals.equipment],
    ...(data.footer.show_delivery ? ([['Доставка', totals.delivery]] as Array<[string, number]>) : []),
    ...(totals.extras !== 0 ? ([['Доп. суммы', totals.extras]] as Array<[string, number]>) : []),
    ['Наценка', totals.markup],
  ];
  return (
    <aside className="panel totals-card editor-totals" data-testid="totals-panel">
      <div className="totals-head">
        <h2>Итоги</h2>
        <button type="button" className="btn btn-ghost btn-icon" title="Скрыть итоги" aria-label="Скрыть итоги" onClick={onHide} data-testid="totals-hide">
          <ChevronRight strokeWidth={1.75} />
        </button>
      </div>
      <dl>
        {rows.map(([label, value]) => (
          <div key={label} className="totals-row">
            <dt>{label}</dt>
            <dd>{formatMoney(value)}</dd>
          </div>
        ))}
        <div className="totals-row total">
          <dt>Общий итог</dt>
          <dd data-testid="totals-grand">{formatMoney(totals.grand)}</dd>
        </div>
        {data.footer.show_advance && (
          <>
            <div className="totals-row">
              <dt>Аванс</dt>
              <dd>{formatMoney(data.footer.advance)}</dd>
            </div>
            <div className="totals-row">
              <dt>Остаток</dt>
              <dd>{formatMoney(totals.balance)}</dd>
            </div>
          </>
        )}
      </dl>
      {markup.error && <p className="error-line">Ошибка формулы: {markup.error}</p>}
    </aside>
  );
}
