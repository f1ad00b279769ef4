// Which rows of a long grid are drawn: those in sight plus a margin, and the few that the
// keyboard or the pointer holds wherever they are. The rows between keep their place as gaps
// of their heights, so the scroll bar and every row's position are as if all were drawn.

/** Rows from `start` up to, not including, `end`. */
export interface RowSpan {
  start: number;
  end: number;
}

/**
 * The rows' heights and their running sums, as a binary indexed (Fenwick) tree: a row measured
 * or edited changes its entry in O(log n), a row's top and the row at a height are found in
 * O(log n), and nothing is rebuilt or allocated per measurement. Rebuilding all the sums of a
 * 10,000-line estimate for each scroll step allocated enough short-lived buffers to call in
 * whole-heap collections in the middle of scrolling.
 */
export class RowHeights {
  private tree = new Float64Array(1);
  private heights = new Float64Array(0);
  private n = 0;

  constructor(count = 0, heightOf: (row: number) => number = () => 0) {
    this.reset(count, heightOf);
  }

  get count(): number {
    return this.n;
  }

  /** Sets every row's height anew (a different count, a filter, a new usual height). */
  reset(count: number, heightOf: (row: number) => number): void {
    if (this.heights.length < count) {
      this.heights = new Float64Array(count);
      this.tree = new Float64Array(count + 1);
    }
    this.n = count;
    const tree = this.tree;
    for (let i = 0; i < count; i++) {
      const h = heightOf(i);
      this.heights[i] = h;
      tree[i + 1] = h;
    }
    // Each node passes its sum on to its parent: the tree is built in one pass.
    for (let i = 1; i <= count; i++) {
      const parent = i + (i & -i);
      if (parent <= count) tree[parent] += tree[i];
    }
  }

  height(row: number): number {
    return this.heights[row];
  }

  set(row: number, height: number): void {
    const delta = height - this.heights[row];
    if (delta === 0) return;
    this.heights[row] = height;
    for (let i = row + 1; i <= this.n; i += i & -i) this.tree[i] += delta;
  }

  /** The top of row `row`: the height of all rows before it (row `count` gives all rows). */
  top(row: number): number {
    let sum = 0;
    for (let i = Math.min(row, this.n); i > 0; i -= i & -i) sum += this.tree[i];
    return sum;
  }

  get total(): number {
    return this.top(this.n);
  }

  /** How many rows from the start fit within height y: the largest k whose top(k) <= y. */
  rowsWithin(y: number): number {
    let pos = 0;
    let rest = y;
    let step = 1;
    while (step * 2 <= this.n) step *= 2;
    for (; step > 0; step >>= 1) {
      const next = pos + step;
      if (next <= this.n && this.tree[next] <= rest) {
        pos = next;
        rest -= this.tree[next];
      }
    }
    return pos;
  }
}

/** The heights of `count` rows, given row by row. */
export function rowOffsets(count: number, heightOf: (row: number) => number): RowHeights {
  return new RowHeights(count, heightOf);
}

/** The row at height y: the first whose bottom is below y (the last row past the end). */
export function rowAt(offsets: RowHeights, y: number): number {
  const count = offsets.count;
  if (y < 0) return 0;
  return Math.min(offsets.rowsWithin(y), Math.max(count - 1, 0));
}

/** The rows that the band from `top` to `bottom` touches. */
export function spanOf(offsets: RowHeights, top: number, bottom: number): RowSpan {
  const count = offsets.count;
  if (count === 0) return { start: 0, end: 0 };
  return { start: rowAt(offsets, top), end: Math.min(count, rowAt(offsets, bottom) + 1) };
}

/** Whether the drawn span already holds every row of the needed one. */
export function covers(drawn: RowSpan, needed: RowSpan): boolean {
  return drawn.start <= needed.start && drawn.end >= needed.end;
}

/** Sums kept by adding differences drift by rounding: a gap thinner than this is none. */
const SUM_SLACK = 0.01;

export type Piece = { row: number } | { gap: number };

/**
 * What the grid's body holds, top to bottom: the shown rows of the span and the held rows,
 * and between them gaps the height of the rows left out. Rows that are not shown (hidden by a
 * filter) are never drawn; their height counts as 0.
 */
export function drawnPieces(offsets: RowHeights, span: RowSpan, held: readonly number[], shown: (row: number) => boolean): Piece[] {
  const count = offsets.count;
  const rows = new Set<number>();
  for (let r = Math.max(0, span.start); r < Math.min(span.end, count); r++) if (shown(r)) rows.add(r);
  for (const r of held) if (r >= 0 && r < count && shown(r)) rows.add(r);
  const sorted = [...rows].sort((a, b) => a - b);
  const pieces: Piece[] = [];
  let y = 0;
  for (const row of sorted) {
    const top = offsets.top(row);
    if (top - y > SUM_SLACK) pieces.push({ gap: top - y });
    pieces.push({ row });
    y = top + offsets.height(row);
  }
  const total = offsets.total;
  if (total - y > SUM_SLACK) pieces.push({ gap: total - y });
  return pieces;
}
