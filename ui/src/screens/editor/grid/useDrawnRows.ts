// How many rows the grid draws now. A long estimate opens (and a paste of thousands of rows
// lands) with the first screenful drawn at once and the rest added in small batches while the
// page is idle, so no single step blocks typing or scrolling; every row is in the document
// a moment later. A few new rows (a new line, a duplicate) are drawn at once.

import { useEffect, useRef, useState } from 'react';
import { flushSync } from 'react-dom';
import { drawBatchWhenIdle } from './whenIdle';

/** Rows drawn at once: more than a tall window shows. */
export const FIRST_ROWS = 60;
const BATCHES = { first: 50, max: 2000 };


export function useDrawnRows(total: number): number {
  const [drawn, setDrawn] = useState(() => Math.min(total, FIRST_ROWS));
  // A small growth is drawn with the change itself (the new row takes the focus at once).
  const shown = total - drawn <= FIRST_ROWS ? total : drawn;
  const batch = useRef(BATCHES.first);

  useEffect(() => {
    if (shown >= total) {
      if (drawn !== total) setDrawn(total);
      return;
    }
    // Rendered within the idle callback, so the time taken sizes the next batch.
    const handle = drawBatchWhenIdle(batch, BATCHES, (count) => flushSync(() => setDrawn(Math.min(total, shown + count))));
    return handle.cancel;
  }, [shown, total, drawn]);

  return shown;
}
