// The extra sums of the footer: presets, "+", and one block per row.

import { memo } from 'react';
import { Plus, X } from 'lucide-react';
import type { EstimateFooter } from '../../../model/types';
import { addExtra, changeExtra, EXTRA_PRESETS, newExtraRow, removeExtra } from '../../../totals/extras';
import { readExtras } from '../../../totals/totals';
import { NumberField } from './NumberField';

export interface ExtrasEditorProps {
  extrasJson: string | null;
  onChange: (patch: Partial<EstimateFooter>) => void;
}

export const ExtrasEditor = memo(function ExtrasEditor({ extrasJson, onChange }: ExtrasEditorProps) {
  const rows = readExtras(extrasJson);
  const set = (extras_json: string | null) => onChange({ extras_json });

  return (
    <div className="totals-extras" data-testid="totals-extras">
      <div className="totals-extras-head">
        <span className="totals-caption">Доп. суммы</span>
        <select
          className="input totals-preset"
          title="Пресет"
          aria-label="Пресет"
          data-testid="extras-preset"
          value=""
          onChange={(e) => {
            if (e.target.value) set(addExtra(extrasJson, newExtraRow(e.target.value)));
          }}
        >
          <option value="">Пресет…</option>
          {EXTRA_PRESETS.map((p) => (
            <option key={p} value={p}>
              {p}
            </option>
          ))}
        </select>
        <button type="button" className="btn btn-icon" title="Добавить доп. сумму" aria-label="Добавить доп. сумму" data-testid="extras-add" onClick={() => set(addExtra(extrasJson, newExtraRow()))}>
          <Plus strokeWidth={2} />
        </button>
      </div>
      {rows.map((row) => (
        <div key={row.id} className="totals-extra" data-testid="extra-row">
          <div className="totals-extra-line">
            <input
              type="checkbox"
              checked={row.enabled}
              title="Учитывать"
              aria-label={`Учитывать «${row.label}»`}
              data-testid="extra-enabled"
              onChange={(e) => set(changeExtra(extrasJson, row.id, { enabled: e.target.checked }))}
            />
            <input
              className="input"
              value={row.label}
              aria-label="Название доп. суммы"
              data-testid="extra-label"
              onChange={(e) => set(changeExtra(extrasJson, row.id, { label: e.target.value }))}
            />
            <button type="button" className="btn btn-ghost btn-icon btn-danger" title="Удалить" aria-label="Удалить" data-testid="extra-remove" onClick={() => set(removeExtra(extrasJson, row.id))}>
              <X strokeWidth={2} />
            </button>
          </div>
          {row.enabled && (
            <NumberField
              value={row.amount}
              aria-label={`Сумма «${row.label}»`}
              data-testid="extra-amount"
              onValue={(amount) => set(changeExtra(extrasJson, row.id, { amount }))}
            />
          )}
        </div>
      ))}
    </div>
  );
});
