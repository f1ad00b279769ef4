// Moving rows: the drag threshold and where a dropped row lands.

/** Vertical movement beyond which a press on the grip becomes a drag. */
export const DRAG_THRESHOLD_PX = 5;

export function isDrag(startY: number, currentY: number): boolean {
  return Math.abs(currentY - startY) > DRAG_THRESHOLD_PX;
}

/**
 * Takes the item out and puts it back at the target's index, so an item dragged down lands
 * below the target and one dragged up lands above it. Out-of-range indexes change nothing.
 */
export function moveItem<T>(items: readonly T[], from: number, to: number): T[] {
  if (from === to || from < 0 || to < 0 || from >= items.length || to >= items.length) return items.slice();
  const out = items.slice();
  const [moved] = out.splice(from, 1);
  out.splice(to, 0, moved);
  return out;
}

/** Where a row index ends up after the move of another row (the current row follows its line). */
export function indexAfterMove(index: number, from: number, to: number): number {
  if (index === from) return to;
  if (from < index && index <= to) return index - 1;
  if (to <= index && index < from) return index + 1;
  return index;
}
