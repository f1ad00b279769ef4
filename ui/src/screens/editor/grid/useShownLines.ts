// The lines the grid's rows show. A change of a few lines (typing, a new row, a paste, an
// undo) is shown at once. A change touching a great many lines without adding or removing any
// (a save's reply giving hundreds of new lines their ids and catalog links) is shown at once
// only near the rows in sight and around the focus; the rest follow in small batches while the
// page is idle, so the user never waits for rows out of sight to be redrawn.

import { useEffect, useRef, useState } from 'react';
import { flushSync } from 'react-dom';
import type { EstimateLine } from '../../../model/types';
import { whenIdle } from './whenIdle';

/** Changed lines shown at once. */
export const AT_ONCE = 300;
const BATCH = 500;

export interface RowRange {
  from: number;
  to: number;
}

/**
 * The lines to show: `lines` itself, or, while a large change catches up, `shown` with the
 * rows of `near` taken from `lines`.
 */
export function catchUp(shown: readonly EstimateLine[], lines: readonly EstimateLine[], near: readonly RowRange[]): readonly EstimateLine[] {
  if (shown === lines || shown.length !== lines.length) return lines;
  let changed = 0;
  for (let i = 0; i < lines.length && changed <= AT_ONCE; i++) if (shown[i] !== lines[i]) changed++;
  if (changed <= AT_ONCE) return lines;
  const next = shown.slice();
  for (const { from, to } of near) for (let i = Math.max(0, from); i < Math.min(to, lines.length); i++) next[i] = lines[i];
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
  if (shownRef.current !== lines) shownRef.current = catchUp(shownRef.current, lines, near());
  const shown = shownRef.current;

  useEffect(() => {
    if (shown === lines) return;
    const handle = whenIdle(() => {
      shownRef.current = catchUpBatch(shownRef.current, lines, BATCH);
      flushSync(() => redraw((n) => n + 1));
    });
    return handle.cancel;
  }, [shown, lines]);

  return shown;
}
