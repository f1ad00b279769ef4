// The rows of the totals block printed under the table, and when the markup row is shown.

import type { EstimateFooter } from '../model/types';
import { markupExpression, readExtras, type EstimateTotals } from './totals';
import type { MarkupResult } from './markup';

export interface PrintedRow {
  key: string;
  label: string;
  value: number;
  /** Bold, and for the grand total a rule above it. */
  strong?: boolean;
  ruled?: boolean;
}

/** "Наценка" is shown when there is a formula and its last evaluation did not fail. */
export function markupRowShown(footer: EstimateFooter | null, markup: MarkupResult): boolean {
  return markupExpression(footer) !== null && markup.error === '';
}

export function printedTotalsRows(footer: EstimateFooter | null, totals: EstimateTotals, markup: MarkupResult): PrintedRow[] {
  const rows: PrintedRow[] = [
    { key: 'works', label: 'Работы', value: totals.works },
    { key: 'materials', label: 'Материалы', value: totals.materials },
    { key: 'equipment', label: 'Техника', value: totals.equipment },
  ];
  if (footer?.show_delivery) rows.push({ key: 'delivery', label: 'Доставка', value: footer.delivery });
  for (const extra of readExtras(footer?.extras_json)) {
    if (extra.enabled) rows.push({ key: `extra-${extra.id}`, label: extra.label, value: extra.amount });
  }
  if (markupRowShown(footer, markup)) rows.push({ key: 'markup', label: 'Наценка', value: totals.markup });
  rows.push({ key: 'grand', label: 'Общий итог', value: totals.grand, strong: true, ruled: true });
  if (footer?.show_advance) {
    rows.push({ key: 'advance', label: 'Аванс', value: footer.advance });
    rows.push({ key: 'balance', label: 'Остаток к оплате', value: totals.balance, strong: true });
  }
  return rows;
}
