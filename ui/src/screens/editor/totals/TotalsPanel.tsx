// The totals panel at the right of the grid: the live figures and the footer's fields.
// Every field change is one change of the estimate (an undo step and an autosave).

import { ChevronRight } from 'lucide-react';
import { memo, useCallback, useMemo, useState, type ReactNode } from 'react';
import type { EstimateFooter, EstimatePayload } from '../../../model/types';
import { formatMoney } from '../../../money/money';
import { markupRowShown } from '../../../totals/printRows';
import type { Change } from '../../../estimateStore';
import { ExtrasEditor } from './ExtrasEditor';
import { MarkupField } from './MarkupField';
import { NumberField } from './NumberField';
import type { EstimateFigures } from './useEstimateTotals';
import './totals.css';

export interface TotalsPanelProps {
  data: EstimatePayload;
  figures: EstimateFigures;
  update: (change: Change) => void;
  onHide: () => void;
  /** Registers every line in the name memory with its price as the usual price. */
  rememberPrices: () => Promise<void>;
}

function Figure({ label, value, testId, className }: { label: string; value: number; testId: string; className?: string }) {
  return (
    <div className={`totals-row${className ? ` ${className}` : ''}`}>
      <span>{label}</span>
      <span className="totals-value" data-testid={testId}>
        {formatMoney(value)}
      </span>
    </div>
  );
}

// The check box on its own, so that a change of the figures beside it leaves it alone.
const Check = memo(function Check({ label, checked, onChange, testId }: { label: string; checked: boolean; onChange: (v: boolean) => void; testId: string }) {
  return (
    <label className="totals-check">
      <input type="checkbox" checked={checked} data-testid={testId} onChange={(e) => onChange(e.target.checked)} />
      {label}
    </label>
  );
});

function Toggle({ label, checked, onChange, testId, children }: { label: string; checked: boolean; onChange: (v: boolean) => void; testId: string; children?: ReactNode }) {
  return (
    <div className="totals-toggle">
      <Check label={label} checked={checked} onChange={onChange} testId={testId} />
      {checked && children}
    </div>
  );
}

export function TotalsPanel({ data, figures, update, onHide, rememberPrices }: TotalsPanelProps) {
  const { footer } = data;
  const { totals, markup } = figures;
  const [remembering, setRemembering] = useState(false);
  const change = useCallback((patch: Partial<EstimateFooter>) => update((d) => ({ ...d, footer: { ...d.footer, ...patch } })), [update]);
  // One stable handler per field: the fields re-render only when their own value changes.
  const on = useMemo(
    () => ({
      showMaterials: (show_materials: boolean) => change({ show_materials }),
      materials: (materials: number) => change({ materials }),
      showDelivery: (show_delivery: boolean) => change({ show_delivery }),
      delivery: (delivery: number) => change({ delivery }),
      markup: (markup_formula: string) => change({ markup_formula }),
      showAdvance: (show_advance: boolean) => change({ show_advance }),
      advance: (advance: number) => change({ advance }),
    }),
    [change],
  );

  return (
    <aside className="totals-panel" data-testid="totals-panel" aria-label="Итоги">
      <div className="totals-head">
        <h2>Итоги</h2>
        <button type="button" className="btn btn-ghost btn-icon" title="Скрыть итоги" aria-label="Скрыть итоги" data-testid="totals-hide" onClick={onHide}>
          <ChevronRight strokeWidth={2} />
        </button>
      </div>

      <Figure label="Работы" value={totals.works} testId="totals-works" />
      <Figure label="Материалы" value={totals.materials} testId="totals-materials" />
      <Figure label="Техника" value={totals.equipment} testId="totals-equipment" />

      <Toggle label="Добавка к материалам" checked={footer.show_materials} testId="show-materials" onChange={on.showMaterials}>
        <NumberField value={footer.materials} aria-label="Сумма добавки" data-testid="materials-field" onValue={on.materials} />
      </Toggle>
      <Toggle label="Доставка" checked={footer.show_delivery} testId="show-delivery" onChange={on.showDelivery}>
        <NumberField value={footer.delivery} aria-label="Сумма за доставку" data-testid="delivery-field" onValue={on.delivery} />
      </Toggle>

      <hr className="totals-rule" />
      <ExtrasEditor extrasJson={footer.extras_json} onChange={change} />

      <hr className="totals-rule" />
      <MarkupField formula={footer.markup_formula} error={markup.error} onChange={on.markup} />
      {markupRowShown(footer, markup) && <Figure label="Наценка" value={totals.markup} testId="totals-markup" />}

      <Figure label="Общий итог" value={totals.grand} testId="totals-grand" className="totals-grand" />

      <Toggle label="Аванс" checked={footer.show_advance} testId="show-advance" onChange={on.showAdvance}>
        <NumberField value={footer.advance} aria-label="Сумма предоплаты" data-testid="advance-field" onValue={on.advance} />
        <Figure label="Остаток" value={totals.balance} testId="totals-balance" className="totals-balance" />
      </Toggle>

      <button
        type="button"
        className="btn totals-remember"
        data-testid="remember-prices"
        disabled={remembering}
        aria-busy={remembering}
        onClick={() => {
          setRemembering(true);
          void rememberPrices().finally(() => setRemembering(false));
        }}
      >
        Запомнить цены как обычные
      </button>
    </aside>
  );
}
