// Scrolling the list while a row is dragged near its top or bottom edge: the nearer the edge,
// the faster, one step a frame, until the pointer leaves the edge or the drag ends.

/** How near the edge (px) the list starts to scroll. */
const EDGE_PX = 40;
/** Pixels a frame at the very edge. */
const MAX_STEP_PX = 24;

/** The scroll step for a pointer at y in a list from top to bottom: negative up, 0 away from the edges. */
export function edgeStep(y: number, top: number, bottom: number): number {
  if (y < top + EDGE_PX) return -Math.ceil((MAX_STEP_PX * Math.min(EDGE_PX, top + EDGE_PX - y)) / EDGE_PX);
  if (y > bottom - EDGE_PX) return Math.ceil((MAX_STEP_PX * Math.min(EDGE_PX, y - (bottom - EDGE_PX))) / EDGE_PX);
  return 0;
}

export function scrollNearEdges(scroller: () => HTMLElement | null, pointerY: () => number, scrolled: () => void) {
  let frame = 0;
  const tick = () => {
    frame = 0;
    const el = scroller();
    if (!el) return;
    const box = el.getBoundingClientRect();
    const head = el.querySelector('.grid-head')?.getBoundingClientRect().height ?? 0;
    const step = edgeStep(pointerY(), box.top + head, box.bottom);
    if (step === 0) return;
    const before = el.scrollTop;
    el.scrollTop += step;
    if (el.scrollTop === before) return;
    scrolled();
    frame = requestAnimationFrame(tick);
  };
  return {
    check: () => {
      if (frame === 0) tick();
    },
    stop: () => {
      cancelAnimationFrame(frame);
      frame = 0;
    },
  };
}
