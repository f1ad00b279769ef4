// How many rows the grid draws now. A long estimate opens (and a paste of thousands of rows
// lands) with the first screenful drawn at once and the rest added in small batches while the
// page is idle, so no single step blocks typing or scrolling; every row is in the document
// a moment later. A few new rows (a new line, a duplicate) are drawn at once.

import { useEffect, useRef, useState } from 'react';
import { flushSync } from 'react-dom';
import { whenIdle } from './whenIdle';

/** Rows drawn at once: more than a tall window shows. */
export const FIRST_ROWS = 60;
/** Time one batch of rows may take, so a key pressed meanwhile waits no longer. */
const BATCH_BUDGET_MS = 24;
const FIRST_BATCH = 50;
const MAX_BATCH = 2000;


export function useDrawnRows(total: number): number {
  const [drawn, setDrawn] = useState(() => Math.min(total, FIRST_ROWS));
  // A small growth is drawn with the change itself (the new row takes the focus at once).
  const shown = total - drawn <= FIRST_ROWS ? total : drawn;
  const batch = useRef(FIRST_BATCH);

  useEffect(() => {
    if (shown >= total) {
      if (drawn !== total) setDrawn(total);
      return;
    }
    const handle = whenIdle(() => {
      // Rendered within this callback, so the time taken sizes the next batch.
      const start = performance.now();
      flushSync(() => setDrawn(Math.min(total, shown + batch.current)));
      const took = Math.max(performance.now() - start, 1);
      const next = Math.round((batch.current * BATCH_BUDGET_MS) / took);
      batch.current = Math.min(MAX_BATCH, Math.max(FIRST_BATCH, Math.min(next, batch.current * 2)));
    });
    return handle.cancel;
  }, [shown, total, drawn]);

  return shown;
}
