// The markup of the open estimate, evaluated by the native side.

import { invoke } from '../platform';
import type { EstimateFooter, EstimateLine } from '../model/types';
import { computeBuckets, markupExpression, markupVariables } from './totals';

export interface MarkupResult {
  value: number;
  /** The evaluator's text when the formula fails; empty otherwise. */
  error: string;
}

/** A failure counts 0 and carries its text; a value that is not finite (null) counts 0 without a text. */
export async function evaluateMarkup(lines: readonly EstimateLine[], footer: EstimateFooter | null): Promise<MarkupResult> {
  const expr = markupExpression(footer);
  if (expr === null) return { value: 0, error: '' };
  try {
    const value = await invoke<number | null>('evaluate_formula_cmd', { expr, vars: markupVariables(computeBuckets(lines, footer), footer) });
    return { value: typeof value === 'number' && Number.isFinite(value) ? value : 0, error: '' };
  } catch (e) {
    return { value: 0, error: e instanceof Error ? e.message : String(e) };
  }
}
