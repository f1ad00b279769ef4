// The money figures of an estimate, computed in the same order as the native side so that
// both give the same numbers for the same data.

import type { EstimateFooter, EstimateLine } from '../model/types';

export interface EstimateTotals {
  works: number;
  materials: number;
  equipment: number;
  delivery: number;
  extras: number;
  markup: number;
  grand: number;
  balance: number;
}

export interface FooterExtraRow {
  id: string;
  label: string;
  amount: number;
  enabled: boolean;
}

/** The six variables a markup formula sees. */
export interface MarkupVariables {
  works: number;
  materials: number;
  delivery: number;
  equipment: number;
  advance: number;
  extras: number;
}

export function lineSum(line: Pick<EstimateLine, 'line_type' | 'quantity' | 'unit_price' | 'fixed_total'>): number {
  switch (line.line_type) {
    case 'section':
    case 'quantity_only':
      return 0;
    case 'fixed':
      return line.fixed_total ?? 0;
    default:
      return (line.quantity ?? 0) * (line.unit_price ?? 0);
  }
}

/**
 * Reads the extra sums. Rows without a text id or label are skipped; a malformed amount
 * counts 0 without spoiling the other rows.
 */
export function readExtras(text: string | null | undefined): FooterExtraRow[] {
  if (!text || text.trim() === '') return [];
  let parsed: unknown;
  try {
    parsed = JSON.parse(text);
  } catch {
    return [];
  }
  if (!Array.isArray(parsed)) return [];
  const rows: FooterExtraRow[] = [];
  for (const item of parsed) {
    if (typeof item !== 'object' || item === null) continue;
    const r = item as Record<string, unknown>;
    if (typeof r.id !== 'string' || typeof r.label !== 'string') continue;
    rows.push({
      id: r.id,
      label: r.label,
      amount: typeof r.amount === 'number' && Number.isFinite(r.amount) ? r.amount : 0,
      enabled: r.enabled !== false,
    });
  }
  return rows;
}

/** An empty list is stored as null. */
export function writeExtras(rows: readonly FooterExtraRow[]): string | null {
  return rows.length === 0 ? null : JSON.stringify(rows.map(({ id, label, amount, enabled }) => ({ id, label, amount, enabled })));
}

export interface Buckets {
  works: number;
  materials: number;
  equipment: number;
  delivery: number;
  extras: number;
}

/** What the lines give to the buckets: their sums by category, in line order. */
export interface LineSums {
  works: number;
  materials: number;
  equipment: number;
}

export function sumLines(lines: readonly EstimateLine[]): LineSums {
  let works = 0;
  let materials = 0;
  let equipment = 0;
  for (const line of lines) {
    const sum = lineSum(line);
    const category = (line.category ?? '').trim();
    if (category === 'material') materials += sum;
    else if (category === 'equipment') equipment += sum;
    else works += sum;
  }
  return { works, materials, equipment };
}

/** The footer's part of the buckets, added to the lines' sums in the same order as always. */
export function bucketsOf(sums: LineSums, footer: EstimateFooter | null): Buckets {
  let { materials } = sums;
  if (footer?.show_materials) materials += footer.materials;
  const delivery = footer?.show_delivery ? footer.delivery : 0;
  const extras = readExtras(footer?.extras_json)
    .filter((r) => r.enabled)
    .reduce((acc, r) => acc + r.amount, 0);
  return { works: sums.works, materials, equipment: sums.equipment, delivery, extras };
}

/** Steps 1 to 4: everything but the markup. */
export function computeBuckets(lines: readonly EstimateLine[], footer: EstimateFooter | null): Buckets {
  return bucketsOf(sumLines(lines), footer);
}

export function markupVariables(buckets: Buckets, footer: EstimateFooter | null): MarkupVariables {
  return {
    works: buckets.works,
    materials: buckets.materials,
    delivery: buckets.delivery,
    equipment: buckets.equipment,
    advance: footer?.advance ?? 0,
    extras: buckets.extras,
  };
}

/**
 * All figures, given the markup (evaluated by the native side; a failure, or a value
 * that is not finite, is passed in as 0 by the caller).
 */
export function computeTotals(lines: readonly EstimateLine[], footer: EstimateFooter | null, markup: number): EstimateTotals {
  return totalsOf(computeBuckets(lines, footer), footer, markup);
}

export function totalsOf(b: Buckets, footer: EstimateFooter | null, markup: number): EstimateTotals {
  const grand = b.works + b.materials + b.equipment + b.delivery + b.extras + markup;
  const balance = footer?.show_advance ? grand - footer.advance : grand;
  return { ...b, markup, grand, balance };
}

/** The markup formula to send, or null when there is none (the markup is then 0). */
export function markupExpression(footer: EstimateFooter | null): string | null {
  const text = footer?.markup_formula?.trim() ?? '';
  return text === '' ? null : text;
}
