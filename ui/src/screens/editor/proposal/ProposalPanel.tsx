// The proposal editor: title, logo, payment stages, the three outputs (print, HTML file,
// customer link) and the customer's answer to a published link.

import { FileDown, FileText, Link2, Link2Off, Printer, X } from 'lucide-react';
import { useId } from 'react';
import type { Change } from '../../../estimateStore';
import type { EstimatePayload } from '../../../model/types';
import { formatMoney } from '../../../money/money';
import type { EstimateFigures } from '../totals/useEstimateTotals';
import { CustomerAnswer, LinkAddress } from './LinkAnswer';
import { LogoField } from './LogoField';
import { StageList } from './StageList';
import { useProposalPanel } from './useProposalPanel';
import './proposal.css';

interface Props {
  data: EstimatePayload;
  update: (change: Change) => void;
  onClose: () => void;
  figures?: EstimateFigures;
}

export function stagesWarning(stages: number, total: number): string {
  return `Этапы оплаты в сумме ${formatMoney(stages)} ₽, а итог сметы — ${formatMoney(total)} ₽.`;
}

export function ProposalPanel({ data, update, onClose, figures }: Props) {
  const titleId = useId();
  const kp = useProposalPanel(data, update, figures);
  const { settings } = kp;

  return (
    <section className="panel kp-panel" aria-labelledby={`${titleId}-h`} data-testid="proposal-panel">
      <header className="kp-head">
        <FileText strokeWidth={1.75} aria-hidden="true" className="kp-head-icon" />
        <h2 id={`${titleId}-h`}>Коммерческое предложение</h2>
        <span className="kp-head-spacer" />
        <button type="button" className="btn btn-ghost" onClick={onClose} data-testid="proposal-close">
          <X strokeWidth={1.75} aria-hidden="true" />
          Закрыть
        </button>
      </header>

      <div className="kp-body">
        <div className="kp-column">
          <div className="kp-field">
            <label htmlFor={titleId}>Заголовок</label>
            <input
              id={titleId}
              className="input"
              value={settings.title}
              data-testid="proposal-title"
              onChange={(e) => kp.save({ title: e.target.value })}
            />
          </div>
          <LogoField
            logo={settings.logo_b64}
            onLogo={(logo) => {
              kp.setError('');
              kp.save({ logo_b64: logo });
            }}
            onError={kp.setError}
          />
        </div>
        <StageList
          stages={settings.stages}
          onEdit={(stages) => kp.save({ stages })}
          onSave={(stages) => kp.save(stages ? { stages } : {})}
        />
      </div>

      <div className="kp-actions">
        <button type="button" className="btn" onClick={kp.print} data-testid="proposal-pdf">
          <Printer strokeWidth={1.75} aria-hidden="true" />
          Сохранить PDF
        </button>
        <button type="button" className="btn" onClick={() => void kp.saveHtml()} data-testid="proposal-html">
          <FileDown strokeWidth={1.75} aria-hidden="true" />
          Сохранить HTML
        </button>
        <button
          type="button"
          className="btn btn-primary"
          disabled={kp.busy}
          onClick={() => void kp.publish()}
          data-testid="proposal-publish"
        >
          <Link2 strokeWidth={1.75} aria-hidden="true" />
          Ссылка для заказчика
        </button>
        {settings.token && (
          <button
            type="button"
            className="btn btn-danger"
            disabled={kp.busy}
            onClick={() => void kp.revoke()}
            data-testid="proposal-revoke"
          >
            <Link2Off strokeWidth={1.75} aria-hidden="true" />
            Отозвать ссылку
          </button>
        )}
        {kp.busy && <span className="kp-busy">Связь с сервисом…</span>}
      </div>

      {kp.shortfall !== null && (
        <p className="kp-warning" role="status" data-testid="proposal-stages-warning">
          {stagesWarning(kp.shortfall, kp.total)}
        </p>
      )}
      {kp.link && <LinkAddress url={kp.link} />}
      {kp.notice && (
        <p className="notice-line" role="status" data-testid="proposal-notice">
          {kp.notice}
        </p>
      )}
      {kp.error && (
        <p className="kp-error" role="alert" data-testid="proposal-error">
          {kp.error}
        </p>
      )}
      <CustomerAnswer poll={kp.poll} />
    </section>
  );
}
