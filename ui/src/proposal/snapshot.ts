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

export interface ProposalSnapshot {
  title: string;
  object_name: string;
  lines: ProposalLine[];
  stages: { title: string; amount: number }[];
  total: number;
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
 * is the plain sum of the line sums: the footer's add-ons are the contractor's business.
 */
export function buildSnapshot(title: string, stages: readonly PaymentStage[], data: EstimatePayload): ProposalSnapshot {
  const lines = data.lines
    .filter((l): l is EstimateLine & { id: number } => typeof l.id === 'number' && !isBlankName(l))
    .map(proposalLine);
  let total = 0;
  for (const line of lines) total += line.total;
  return {
    title,
    object_name: data.estimate.object_name,
    lines,
    stages: stages.map((s) => ({ title: s.title, amount: s.amount })),
    total,
  };
}
