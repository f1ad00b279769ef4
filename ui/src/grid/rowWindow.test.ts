import { describe, expect, it } from 'vitest';
import { covers, drawnPieces, rowAt, rowOffsets, spanOf, type Piece } from './rowWindow';
import { edgeStep } from '../screens/editor/grid/edgeScroll';

// Rows of 30 px, row 2 wrapped to two lines (60 px): tops 0, 30, 60, 120, 150; all 180.
const offsets = rowOffsets(5, (i) => (i === 2 ? 60 : 30));
const all = () => true;
const rows = (pieces: Piece[]) => pieces.flatMap((p) => ('row' in p ? [p.row] : []));
const height = (pieces: Piece[], drawnPx: number) => pieces.reduce((sum, p) => sum + ('gap' in p ? p.gap : drawnPx), 0);

describe('row window', () => {
  it('finds rows by height over rows of measured heights', () => {
    expect([0, 1, 2, 3, 4, 5].map((r) => offsets.top(r))).toEqual([0, 30, 60, 120, 150, 180]);
    expect([-5, 0, 29.9, 30, 61, 119, 120, 179, 500].map((y) => rowAt(offsets, y))).toEqual([0, 0, 0, 1, 2, 2, 3, 4, 4]);
    expect(spanOf(offsets, 35, 125)).toEqual({ start: 1, end: 4 });
    expect(spanOf(rowOffsets(0, () => 30), 0, 100)).toEqual({ start: 0, end: 0 });
    expect(covers({ start: 0, end: 10 }, { start: 2, end: 10 })).toBe(true);
    expect(covers({ start: 3, end: 10 }, { start: 2, end: 10 })).toBe(false);
  });

  it('draws the span and the held rows, with gaps that keep every row in its place', () => {
    const long = rowOffsets(10_000, () => 30);
    // Row 9,000 held by the focus, the window at the top.
    const pieces = drawnPieces(long, { start: 0, end: 3 }, [9000, 1], all);
    expect(pieces).toEqual([{ row: 0 }, { row: 1 }, { row: 2 }, { gap: (9000 - 3) * 30 }, { row: 9000 }, { gap: 999 * 30 }]);
    expect(height(pieces, 30)).toBe(300_000);
    // Held rows out of range, and a span past the end, are ignored.
    expect(rows(drawnPieces(offsets, { start: 3, end: 9 }, [-1, 7], all))).toEqual([3, 4]);
  });

  it('keeps every top and the row at each height right as rows are measured one by one', () => {
    // Measured in a scattered order, as scrolling and a jump to the end measure them.
    const count = 1000;
    const heights = Array.from({ length: count }, () => 36);
    const tree = rowOffsets(count, (i) => heights[i]);
    for (let k = 0; k < 3000; k++) {
      const row = (k * 7919) % count;
      heights[row] = 30 + ((k * 13) % 5) * 12.5;
      tree.set(row, heights[row]);
    }
    let top = 0;
    for (let r = 0; r < count; r++) {
      expect(tree.top(r)).toBeCloseTo(top, 6);
      expect(rowAt(tree, top + heights[r] / 2)).toBe(r);
      top += heights[r];
    }
    expect(tree.total).toBeCloseTo(top, 6);
    // Rebuilt for a smaller count, the same buffers serve.
    tree.reset(3, () => 10);
    expect([tree.top(3), rowAt(tree, 25), rowAt(tree, 1e9)]).toEqual([30, 2, 2]);
  });

  it('never draws rows hidden by the filter; their height counts as nothing', () => {
    const hidden = [false, true, true, false, false];
    const filtered = rowOffsets(5, (i) => (hidden[i] ? 0 : 30));
    const pieces = drawnPieces(filtered, { start: 0, end: 5 }, [2], (r) => !hidden[r]);
    expect(pieces).toEqual([{ row: 0 }, { row: 3 }, { row: 4 }]);
  });

  it.each([
    // pointer y in a list from 100 to 500: up near the top, down near the bottom, faster nearer
    [300, 0],
    [141, 0],
    [130, -6],
    [100, -24],
    [60, -24],
    [490, 18],
    [520, 24],
  ])('dragging at y %s scrolls the list by %s px a frame', (y, step) => {
    expect(edgeStep(y, 100, 500)).toBe(step);
  });
});
