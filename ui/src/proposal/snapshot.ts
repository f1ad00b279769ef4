// The proposal as it is published and rendered: built anew from the panel and the open
// estimate for every output, so it always shows the estimate's current lines.

import { isBlankName, type EstimateLine, type EstimatePayload } from '../model/types';
import { lineSum } from '../totals/totals';
import type { PaymentStage } from './settings';

export interface ProposalLine {
  id: number;
  name: string;
  unit: string | null;
  quantity: number | null;
  unit_price: number | null;
  total: number;
}

/** A row of the estimate's totals that the customer sees after the lines: "Доставка", 3 500. */
export interface ProposalSummaryRow {
  label: string;
  amount: number;
}

export interface ProposalSnapshot {
  title: string;
  object_name: string;
  lines: ProposalLine[];
  stages: { title: string; amount: number }[];
  /** Only when the estimate's grand total is more than its lines: the totals rows that carry an amount. */
  summary?: ProposalSummaryRow[];
  total: number;
}

/** The estimate's printed totals, in order, the grand total among them under the key "grand". */
export interface EstimateSummary {
  rows: readonly { key: string; label: string; value: number }[];
  grand: number;
}

/** Amounts closer than half a kopeck are the same money. */
export function sameMoney(a: number, b: number): boolean {
  return Math.abs(a - b) < 0.005;
}

/**
 * One line for the customer. Changing a line's type keeps its other fields, so a section
 * made from a priced line still holds its quantity and price; the customer sees only the
 * cells the line's type uses, as the editor does.
 */
function proposalLine(line: EstimateLine & { id: number }): ProposalLine {
  const type = line.line_type;
  const usesQuantity = type !== 'section' && type !== 'fixed';
  const usesPrice = usesQuantity && type !== 'quantity_only';
  let unit = line.unit ?? null;
  if (type === 'fixed') unit = null;
  else if (type === 'section' && unit !== null) unit = '';
  return {
    id: line.id,
    name: line.name,
    unit,
    quantity: usesQuantity ? (line.quantity ?? null) : null,
    unit_price: usesPrice ? (line.unit_price ?? null) : null,
    total: lineSum(line),
  };
}

/**
 * Lines that have been saved (they have an id) and have a name, sections included. The total
 * is the estimate's grand total when it is given: delivery, extra sums and markup are part of
 * the price the customer is offered, so they follow the lines as rows of their own. Without
 * them (or when they add nothing) the total is the plain sum of the line sums.
 */
export function buildSnapshot(title: string, stages: readonly PaymentStage[], data: EstimatePayload, figures?: EstimateSummary): ProposalSnapshot {
  const lines = data.lines
    .filter((l): l is EstimateLine & { id: number } => typeof l.id === 'number' && !isBlankName(l))
    .map(proposalLine);
  let total = 0;
  for (const line of lines) total += line.total;
  const snapshot: ProposalSnapshot = {
    title,
    object_name: data.estimate.object_name,
    lines,
    stages: stages.map((s) => ({ title: s.title, amount: s.amount })),
    total,
  };
  if (!figures || sameMoney(figures.grand, total)) return snapshot;
  const beforeGrand = figures.rows.slice(0, Math.max(0, figures.rows.findIndex((r) => r.key === 'grand')));
  const summary = beforeGrand.filter((r) => !sameMoney(r.value, 0)).map((r) => ({ label: r.label, amount: r.value }));
  return { title, object_name: snapshot.object_name, lines, stages: snapshot.stages, summary, total: figures.grand };
}

/** The stages' sum when it differs from the total the customer is offered, else null. */
export function stagesShortfall(snapshot: Pick<ProposalSnapshot, 'stages' | 'total'>): number | null {
  if (snapshot.stages.length === 0) return null;
  let sum = 0;
  for (const s of snapshot.stages) sum += s.amount;
  return sameMoney(sum, snapshot.total) ? null : sum;
}
