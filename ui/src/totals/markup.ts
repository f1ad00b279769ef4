// The markup of the open estimate, evaluated by the native side.

import { invoke } from '../platform';
import type { EstimateFooter, EstimateLine } from '../model/types';
import { computeBuckets, markupExpression, markupVariables, type MarkupVariables } from './totals';

export interface MarkupResult {
  value: number;
  /** The evaluator's text when the formula fails; empty otherwise. */
  error: string;
}

export const NO_MARKUP: MarkupResult = { value: 0, error: '' };

type Call = <T>(command: string, args: object) => Promise<T>;

/** The reply as the page counts it: a value that is not finite (null) counts 0 without an error. */
export function markupFromReply(reply: unknown): MarkupResult {
  return { value: typeof reply === 'number' && Number.isFinite(reply) ? reply : 0, error: '' };
}

/** A failure counts 0 and carries its text. */
export function markupFromFailure(e: unknown): MarkupResult {
  return { value: 0, error: e instanceof Error ? e.message : String(e) };
}

/** Evaluates a trimmed, non-blank formula with the six variables; never rejects. */
export async function evaluateMarkupExpr(expr: string, vars: MarkupVariables, call: Call = invoke): Promise<MarkupResult> {
  try {
    return markupFromReply(await call<number | null>('evaluate_formula_cmd', { expr, vars }));
  } catch (e) {
    return markupFromFailure(e);
  }
}

export async function evaluateMarkup(lines: readonly EstimateLine[], footer: EstimateFooter | null): Promise<MarkupResult> {
  const expr = markupExpression(footer);
  if (expr === null) return NO_MARKUP;
  return evaluateMarkupExpr(expr, markupVariables(computeBuckets(lines, footer), footer));
}
