// The figures of the open estimate, recomputed on every change, with the markup asked of the
// native side 300 ms after the last change of its inputs. Until the answer comes the previous
// markup counts; an answer to an older request is dropped.

import { useEffect, useMemo, useRef, useState } from 'react';
import type { EstimatePayload } from '../../../model/types';
import { DebouncedLatest } from '../../../totals/debouncedLatest';
import { evaluateMarkupExpr, markupFromFailure, NO_MARKUP, type MarkupResult } from '../../../totals/markup';
import { computeBuckets, computeTotals, markupExpression, markupVariables, type EstimateTotals, type MarkupVariables } from '../../../totals/totals';

export const MARKUP_DELAY_MS = 300;

export interface EstimateFigures {
  totals: EstimateTotals;
  markup: MarkupResult;
}

type MarkupRequest = { expr: string; vars: MarkupVariables };

export function useEstimateTotals(data: EstimatePayload): EstimateFigures {
  const { lines, footer } = data;
  const [markup, setMarkup] = useState<MarkupResult>(NO_MARKUP);
  const requests = useRef<DebouncedLatest<MarkupRequest, MarkupResult> | null>(null);
  requests.current ??= new DebouncedLatest<MarkupRequest, MarkupResult>({
    delayMs: MARKUP_DELAY_MS,
    run: ({ expr, vars }) => evaluateMarkupExpr(expr, vars),
    onResult: setMarkup,
    onError: (e) => setMarkup(markupFromFailure(e)),
  });

  const expr = markupExpression(footer);
  const vars = useMemo(() => markupVariables(computeBuckets(lines, footer), footer), [lines, footer]);
  // The request depends on the values only, not on which objects hold them.
  const key = expr === null ? '' : JSON.stringify([expr, vars]);

  useEffect(() => {
    const r = requests.current!;
    if (key === '') {
      r.cancel();
      setMarkup(NO_MARKUP);
      return;
    }
    const [e, v] = JSON.parse(key) as [string, MarkupVariables];
    r.request({ expr: e, vars: v });
  }, [key]);

  useEffect(() => () => requests.current?.cancel(), []);

  const totals = useMemo(() => computeTotals(lines, footer, expr === null ? 0 : markup.value), [lines, footer, expr, markup.value]);
  return { totals, markup: expr === null ? NO_MARKUP : markup };
}
