// Lays out, while the page is idle, the blocks of rows the browser skips while they are out of
// sight. A skipped block keeps its layout once made, so scrolling onto it later only paints it
// instead of styling and laying out its fields in the middle of the scroll.

import { useEffect, type RefObject } from 'react';
import { whenIdle } from './whenIdle';

/** Time one idle step may take, so a key pressed meanwhile waits no longer. */
const STEP_BUDGET_MS = 12;

export function useWarmBlocks(gridRef: RefObject<HTMLElement | null>, drawn: number, total: number): void {
  useEffect(() => {
    // Rows still arriving take the idle time first.
    if (drawn < total) return;
    const warmed = new WeakSet<Element>();
    let handle = whenIdle(step);
    function step() {
      const blocks = gridRef.current?.querySelectorAll('.row-block') ?? [];
      const start = performance.now();
      let left = false;
      for (const block of blocks) {
        if (warmed.has(block)) continue;
        if (performance.now() - start > STEP_BUDGET_MS) {
          left = true;
          break;
        }
        warmed.add(block);
        // A layout query inside a skipped block makes the browser lay the block out (and keep it).
        void (block.lastElementChild as HTMLElement | null)?.offsetWidth;
      }
      if (left) handle = whenIdle(step);
    }
    return () => handle.cancel();
  }, [gridRef, drawn, total]);
}
