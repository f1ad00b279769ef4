// "Этапы оплаты": the payment stages, each a title and an amount, edited in place.

import { Plus, Trash2 } from 'lucide-react';
import { useId, useState } from 'react';
import type { PaymentStage } from '../../../proposal';

/** An entry that is not a number gives 0; a decimal comma is read as a point. */
export function readAmount(text: string): number {
  const value = Number(text.trim().replace(',', '.'));
  return Number.isFinite(value) ? value : 0;
}

interface RowProps {
  index: number;
  stage: PaymentStage;
  onChange: (stage: PaymentStage) => void;
  onLeave: () => void;
  onRemove: () => void;
}

function StageRow({ index, stage, onChange, onLeave, onRemove }: RowProps) {
  const id = useId();
  // The amount keeps what is typed ("12," on the way to "12,5") while the field has focus.
  const [draft, setDraft] = useState<string | null>(null);
  return (
    <li className="kp-stage" data-testid="proposal-stage">
      <span className="kp-stage-num" aria-hidden="true">
        {index + 1}
      </span>
      <label htmlFor={`${id}-t`} className="kp-inline-label">
        Этап
      </label>
      <input
        id={`${id}-t`}
        className="input kp-stage-title"
        value={stage.title}
        data-testid="proposal-stage-title"
        onChange={(e) => onChange({ ...stage, title: e.target.value })}
        onBlur={onLeave}
      />
      <label htmlFor={`${id}-a`} className="kp-inline-label">
        Сумма, ₽
      </label>
      <input
        id={`${id}-a`}
        className="input kp-stage-amount"
        inputMode="decimal"
        value={draft ?? String(stage.amount)}
        data-testid="proposal-stage-amount"
        onChange={(e) => {
          setDraft(e.target.value);
          onChange({ ...stage, amount: readAmount(e.target.value) });
        }}
        onBlur={() => {
          setDraft(null);
          onLeave();
        }}
      />
      <button type="button" className="btn btn-ghost btn-danger" onClick={onRemove} data-testid="proposal-stage-remove">
        <Trash2 strokeWidth={1.75} aria-hidden="true" />
        Удалить
      </button>
    </li>
  );
}

interface Props {
  stages: PaymentStage[];
  onEdit: (stages: PaymentStage[]) => void;
  onSave: (stages?: PaymentStage[]) => void;
}

export function StageList({ stages, onEdit, onSave }: Props) {
  const replace = (i: number, stage: PaymentStage) => stages.map((s, k) => (k === i ? stage : s));
  return (
    <section className="kp-stages" aria-labelledby="kp-stages-heading">
      <div className="kp-stages-head">
        <h3 id="kp-stages-heading">Этапы оплаты</h3>
        <button
          type="button"
          className="btn"
          data-testid="proposal-add-stage"
          onClick={() => onSave([...stages, { title: 'Этап', amount: 0 }])}
        >
          <Plus strokeWidth={1.75} aria-hidden="true" />
          Добавить этап
        </button>
      </div>
      {stages.length === 0 ? (
        <p className="kp-empty">Без этапов: в документе только итог.</p>
      ) : (
        <ol className="kp-stage-list">
          {stages.map((stage, i) => (
            <StageRow
              key={i}
              index={i}
              stage={stage}
              onChange={(s) => onEdit(replace(i, s))}
              onLeave={() => onSave()}
              onRemove={() => onSave(stages.filter((_, k) => k !== i))}
            />
          ))}
        </ol>
      )}
    </section>
  );
}
