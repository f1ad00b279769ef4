// The figures of the open estimate, recomputed on every change, with the markup asked of the
// native side 300 ms after the last change of its inputs. Until the answer comes the previous
// markup counts; an answer to an older request is dropped.

import { useDeferredValue, useEffect, useMemo, useRef, useState } from 'react';
import type { EstimatePayload } from '../../../model/types';
import { DebouncedLatest } from '../../../totals/debouncedLatest';
import { evaluateMarkupExpr, markupFromFailure, NO_MARKUP, type MarkupResult } from '../../../totals/markup';
import { bucketsOf, markupExpression, markupVariables, sumLines, totalsOf, type EstimateTotals, type MarkupVariables } from '../../../totals/totals';

export const MARKUP_DELAY_MS = 300;

export interface EstimateFigures {
  totals: EstimateTotals;
  markup: MarkupResult;
}

type MarkupRequest = { expr: string; vars: MarkupVariables };

export function useEstimateTotals(data: EstimatePayload): EstimateFigures {
  const { footer } = data;
  // The sums over every line follow a keystroke in the grid in a render of their own, after
  // the typed cell is painted: in a long estimate they would otherwise delay every key. The
  // footer's fields count at once.
  const lines = useDeferredValue(data.lines);
  const sums = useMemo(() => sumLines(lines), [lines]);
  const buckets = useMemo(() => bucketsOf(sums, footer), [sums, footer]);
  const [markup, setMarkup] = useState<MarkupResult>(NO_MARKUP);
  const requests = useRef<DebouncedLatest<MarkupRequest, MarkupResult> | null>(null);
  requests.current ??= new DebouncedLatest<MarkupRequest, MarkupResult>({
    delayMs: MARKUP_DELAY_MS,
    run: ({ expr, vars }) => evaluateMarkupExpr(expr, vars),
    onResult: setMarkup,
    onError: (e) => setMarkup(markupFromFailure(e)),
  });

  const expr = markupExpression(footer);
  const vars = useMemo(() => markupVariables(buckets, footer), [buckets, footer]);
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

  const totals = useMemo(() => totalsOf(buckets, footer, expr === null ? 0 : markup.value), [buckets, footer, expr, markup.value]);
  return { totals, markup: expr === null ? NO_MARKUP : markup };
}
