// The lines the grid's rows show. A change of a few lines (typing, a new row, an undo) is shown
// at once. A change touching a great many rows (a save's reply giving hundreds of new lines their
// ids and catalog links; thousands of pasted lines pushing every row below them down) is shown
// at once only near the rows in sight and around the focus; the rest follow in batches while the
// page is idle, so the user never waits for rows out of sight to be redrawn.

import { useEffect, useRef, useState } from 'react';
import { flushSync } from 'react-dom';
import type { EstimateLine } from '../../../model/types';
import { drawBatchWhenIdle } from './whenIdle';

/** Changed lines shown at once. */
export const AT_ONCE = 300;
const BATCHES = { first: 100, max: 5000 };

export interface RowRange {
  from: number;
  to: number;
}

/**
 * The lines to show: `lines` itself, or, while a large change catches up, `shown` with the
 * rows of `near` taken from `lines`. `near` is asked only for a large change: it reads the
 * layout, which a keystroke should not have to wait for.
 */
export function catchUp(shown: readonly EstimateLine[], lines: readonly EstimateLine[], near: () => readonly RowRange[]): readonly EstimateLine[] {
  if (shown === lines) return lines;
  const common = Math.min(shown.length, lines.length);
  let changed = Math.abs(lines.length - shown.length);
  for (let i = 0; i < common && changed <= AT_ONCE; i++) if (shown[i] !== lines[i]) changed++;
  if (changed <= AT_ONCE) return lines;
  // Rows past the old end are new ones, drawn as they are; the others keep what they showed.
  const next = lines.length > shown.length ? [...shown, ...lines.slice(shown.length)] : shown.slice(0, lines.length);
  for (const { from, to } of near()) for (let i = Math.max(0, from); i < Math.min(to, lines.length); i++) next[i] = lines[i];
  return next;
}

/** `shown` with up to `count` more of its rows taken from `lines`; `lines` itself once none differ. */
export function catchUpBatch(shown: readonly EstimateLine[], lines: readonly EstimateLine[], count: number): readonly EstimateLine[] {
  const next = shown.slice();
  let taken = 0;
  let left = false;
  for (let i = 0; i < lines.length; i++) {
    if (next[i] === lines[i]) continue;
    if (taken === count) {
      left = true;
      break;
    }
    next[i] = lines[i];
    taken++;
  }
  return left ? next : lines;
}

export function useShownLines(lines: readonly EstimateLine[], near: () => RowRange[]): readonly EstimateLine[] {
  const shownRef = useRef(lines);
  const [, redraw] = useState(0);
  if (shownRef.current !== lines) shownRef.current = catchUp(shownRef.current, lines, near);
  const shown = shownRef.current;

  const batch = useRef(BATCHES.first);

  useEffect(() => {
    if (shown === lines) return;
    // Drawn within the idle callback, so the time taken sizes the next batch.
    const handle = drawBatchWhenIdle(batch, BATCHES, (count) => {
      shownRef.current = catchUpBatch(shownRef.current, lines, count);
      flushSync(() => redraw((n) => n + 1));
    });
    return handle.cancel;
  }, [shown, lines]);

  return shown;
}
