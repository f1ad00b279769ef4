// The open estimate shown for reading: its lines and its figures.

import { useEffect, useMemo, useState } from 'react';
import { CATEGORY_LABELS, effectiveCategory } from '../../category/category';
import { lineTypeLabel } from '../../model/lineTypes';
import { isBlankName, type EstimatePayload } from '../../model/types';
import { formatLineSum, formatMoney } from '../../money/money';
import { computeTotals, lineSum } from '../../totals/totals';
import { evaluateMarkup, type MarkupResult } from '../../totals/markup';

function quantityText(value: number | null | undefined): string {
  return value == null ? '' : String(value).replace('.', ',');
}

export function EstimatePreview({ data }: { data: EstimatePayload }) {
  const [markup, setMarkup] = useState<MarkupResult>({ value: 0, error: '' });
  useEffect(() => {
    let live = true;
    const timer = setTimeout(() => {
      void evaluateMarkup(data.lines, data.footer).then((m) => live && setMarkup(m));
    }, 300);
    return () => {
      live = false;
      clearTimeout(timer);
    };
  }, [data.lines, data.footer]);
  const totals = useMemo(() => computeTotals(data.lines, data.footer, markup.value), [data, markup.value]);
  let position = 0;

  return (
    <div className="preview">
      <div className="panel table-panel">
        <table className="data-table grid-table" data-testid="preview-lines">
          <colgroup>
            <col style={{ width: 44 }} />
            <col />
            <col style={{ width: 88 }} />
            <col style={{ width: 80 }} />
            <col style={{ width: 88 }} />
            <col style={{ width: 104 }} />
            <col style={{ width: 96 }} />
          </colgroup>
          <thead>
            <tr>
              <th>№</th>
              <th>Наименование</th>
              <th>Ед.</th>
              <th className="num">Объем</th>
              <th className="num">Цена</th>
              <th className="num">Сумма</th>
              <th>Тип</th>
            </tr>
          </thead>
          <tbody>
            {data.lines.map((line, i) => {
              const section = line.line_type === 'section';
              // The empty line at the end is where the editor takes new input; here it stays blank.
              if (isBlankName(line)) {
                return (
                  <tr key={line.id ?? `new-${i}`} className="is-placeholder" data-testid="preview-line">
                    <td colSpan={7} className="cell-name" data-testid="preview-name" />
                  </tr>
                );
              }
              if (!section) position++;
              return (
                <tr key={line.id ?? `new-${i}`} className={section ? 'is-section' : undefined} data-testid="preview-line">
                  <td className="muted">{section ? '' : position}</td>
                  <td className="cell-name" data-testid="preview-name">
                    {line.name}
                  </td>
                  <td>{section ? '' : (line.unit ?? '')}</td>
                  <td className="num">{section || line.line_type === 'fixed' ? '' : quantityText(line.quantity)}</td>
                  <td className="num">{line.line_type === 'full' ? formatLineSum(line.unit_price) : ''}</td>
                  <td className="num">{section || line.line_type === 'quantity_only' ? '' : formatLineSum(lineSum(line))}</td>
                  <td className="muted">{section ? lineTypeLabel('section') : CATEGORY_LABELS[effectiveCategory(line.category)]}</td>
                </tr>
              );
            })}
          </tbody>
        </table>
      </div>
      <aside className="panel totals-card" data-testid="preview-totals">
        <h2>Итоги</h2>
        <dl>
          <dt>Работы</dt>
          <dd>{formatMoney(totals.works)}</dd>
          <dt>Материалы</dt>
          <dd>{formatMoney(totals.materials)}</dd>
          <dt>Техника</dt>
          <dd>{formatMoney(totals.equipment)}</dd>
          {data.footer.show_delivery && (
            <>
              <dt>Доставка</dt>
              <dd>{formatMoney(totals.delivery)}</dd>
            </>
          )}
          {totals.extras !== 0 && (
            <>
              <dt>Доп. суммы</dt>
              <dd>{formatMoney(totals.extras)}</dd>
            </>
          )}
          <dt>Наценка</dt>
          <dd>{formatMoney(totals.markup)}</dd>
          <dt className="total">Общий итог</dt>
          <dd className="total" data-testid="preview-grand">
            {formatMoney(totals.grand)}
          </dd>
          {data.footer.show_advance && (
            <>
              <dt>Аванс</dt>
              <dd>{formatMoney(data.footer.advance)}</dd>
              <dt>Остаток</dt>
              <dd>{formatMoney(totals.balance)}</dd>
            </>
          )}
        </dl>
        {markup.error && <p className="error-line">Ошибка формулы: {markup.error}</p>}
      </aside>
    </div>
  );
}
