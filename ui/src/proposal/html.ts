// The proposal as one HTML page: the same text is printed and saved as a file. The customer
// may open the file anywhere, so it carries its own small style and no script.

import { formatMoney } from '../money/money';
import type { ProposalSnapshot } from './snapshot';
import { plainNumber } from '../numbers/numberText';

export const DOCUMENT_STYLE =
  'body{font:15px/1.4 system-ui,sans-serif;color:#171717;padding:24px}' +
  'table{border-collapse:collapse;width:100%}' +
  'td,th{border-bottom:1px solid #e5e5e5;text-align:left;padding:6px 8px}';

/** Escapes text for element content and double-quoted attributes; "&" goes first so nothing is escaped twice. */
export function escapeHtml(text: string): string {
  return text.replaceAll('&', '&amp;').replaceAll('<', '&lt;').replaceAll('>', '&gt;').replaceAll('"', '&quot;');
}

/** A quantity as a plain number: shortest form, decimal point. */
function quantityText(value: number | null): string {
  return plainNumber(value);
}

function cell(text: string): string {
  return `<td>${text}</td>`;
}

function tableOf(snapshot: ProposalSnapshot): string {
  const head = ['Наименование', 'Ед.', 'Кол-во', 'Цена', 'Сумма'].map((t) => `<th>${t}</th>`).join('');
  const rows = snapshot.lines
    .map(
      (l) =>
        '<tr>' +
        cell(escapeHtml(l.name)) +
        cell(escapeHtml(l.unit ?? '')) +
        cell(quantityText(l.quantity)) +
        cell(l.unit_price === null ? '' : formatMoney(l.unit_price)) +
        cell(formatMoney(l.total)) +
        '</tr>',
    )
    .join('');
  return `<table><thead><tr>${head}</tr></thead><tbody>${rows}</tbody></table>`;
}

/** The document of a snapshot; the logo is shown only when it is an image's data URL. */
export function proposalHtml(snapshot: ProposalSnapshot, logo: string | null): string {
  const title = escapeHtml(snapshot.title);
  const image = logo?.startsWith('data:image/') ? `<img alt="" src="${escapeHtml(logo)}" style="max-height:64px">` : '';
  const stages = snapshot.stages.map((s) => `<p>${escapeHtml(s.title)}: ${formatMoney(s.amount)} ₽</p>`).join('');
  // Present only when the estimate's totals add to its lines; absent, the document is unchanged.
  const summary = snapshot.summary ? snapshot.summary.map((r) => `<p>${escapeHtml(r.label)}: ${formatMoney(r.amount)} ₽</p>`).join('') + '\n' : '';
  return (
    '<!doctype html><html lang="ru"><head><meta charset="utf-8">' +
    `<title>${title || 'КП'}</title>\n` +
    `<style>${DOCUMENT_STYLE}</style>\n` +
    '</head><body>\n' +
    `${image}\n` +
    `<h1>${title || 'Коммерческое предложение'}</h1>\n` +
    `<p>${escapeHtml(snapshot.object_name)}</p>\n` +
    `${tableOf(snapshot)}\n` +
    summary +
    `${stages}\n` +
    `<p>Итого: ${formatMoney(snapshot.total)} ₽</p>` +
    '</body></html>'
  );
}
