// Under the grid while the totals panel is hidden: the grand total, and a click shows the panel.

import { ChevronLeft } from 'lucide-react';
import { formatMoney } from '../../../money/money';

export function ShowTotalsButton({ grand, onShow }: { grand: number; onShow: () => void }) {
  return (
    <button type="button" className="btn show-totals" title="Показать итоги" data-testid="totals-show" onClick={onShow}>
      <ChevronLeft strokeWidth={2} />
      Итог <span className="totals-value">{formatMoney(grand)}</span>
    </button>
  );
}
