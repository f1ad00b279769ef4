// Which rows of a long grid are drawn: those in sight plus a margin, and the few that the
// keyboard or the pointer holds wherever they are. The rows between keep their place as gaps
// of their heights, so the scroll bar and every row's position are as if all were drawn.

/** Rows from `start` up to, not including, `end`. */
export interface RowSpan {
  start: number;
  end: number;
}

/** offsets[i] is the top of row i, offsets[count] the height of all rows. */
export function rowOffsets(count: number, heightOf: (row: number) => number): Float64Array {
  const offsets = new Float64Array(count + 1);
  for (let i = 0; i < count; i++) offsets[i + 1] = offsets[i] + heightOf(i);
  return offsets;
}

/** The row at height y: the first whose bottom is below y (the last row past the end). */
export function rowAt(offsets: Float64Array, y: number): number {
  const count = offsets.length - 1;
  let lo = 0;
  let hi = count;
  while (lo < hi) {
    const mid = (lo + hi) >> 1;
    if (offsets[mid + 1] > y) hi = mid;
    else lo = mid + 1;
  }
  return Math.min(lo, Math.max(count - 1, 0));
}

/** The rows that the band from `top` to `bottom` touches. */
export function spanOf(offsets: Float64Array, top: number, bottom: number): RowSpan {
  const count = offsets.length - 1;
  if (count === 0) return { start: 0, end: 0 };
  return { start: rowAt(offsets, top), end: Math.min(count, rowAt(offsets, bottom) + 1) };
}

/** Whether the drawn span already holds every row of the needed one. */
export function covers(drawn: RowSpan, needed: RowSpan): boolean {
  return drawn.start <= needed.start && drawn.end >= needed.end;
}

export type Piece = { row: number } | { gap: number };

/**
 * What the grid's body holds, top to bottom: the shown rows of the span and the held rows,
 * and between them gaps the height of the rows left out. Rows that are not shown (hidden by a
 * filter) are never drawn; their height counts as 0.
 */
export function drawnPieces(offsets: Float64Array, span: RowSpan, held: readonly number[], shown: (row: number) => boolean): Piece[] {
  const count = offsets.length - 1;
  const rows = new Set<number>();
  for (let r = Math.max(0, span.start); r < Math.min(span.end, count); r++) if (shown(r)) rows.add(r);
  for (const r of held) if (r >= 0 && r < count && shown(r)) rows.add(r);
  const sorted = [...rows].sort((a, b) => a - b);
  const pieces: Piece[] = [];
  let y = 0;
  for (const row of sorted) {
    if (offsets[row] - y > 0) pieces.push({ gap: offsets[row] - y });
    pieces.push({ row });
    y = offsets[row + 1];
  }
  if (offsets[count] - y > 0) pieces.push({ gap: offsets[count] - y });
  return pieces;
}
