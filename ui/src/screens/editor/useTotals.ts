// The open estimate's figures: computed at once from the lines, with the markup asked of the
// native side 300 ms after the last change.

import { useEffect, useMemo, useState } from 'react';
import type { EstimatePayload } from '../../model/types';
import { computeTotals, type EstimateTotals } from '../../totals/totals';
import { evaluateMarkup, type MarkupResult } from '../../totals/markup';

const MARKUP_DELAY_MS = 300;

export function useEstimateTotals(data: EstimatePayload): { totals: EstimateTotals; markup: MarkupResult } {
  const [markup, setMarkup] = useState<MarkupResult>({ value: 0, error: '' });
  useEffect(() => {
    let live = true;
    const timer = setTimeout(() => {
      void evaluateMarkup(data.lines, data.footer).then((m) => live && setMarkup(m));
    }, MARKUP_DELAY_MS);
    return () => {
      live = false;
      clearTimeout(timer);
    };
  }, [data.lines, data.footer]);
  const totals = useMemo(() => computeTotals(data.lines, data.footer, markup.value), [data.lines, data.footer, markup.value]);
  return { totals, markup };
}
