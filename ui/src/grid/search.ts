// Find in names: which rows are hits and what the hit label reads.

import type { EstimateLine } from '../model/types';

/** Indexes of the rows whose name contains the trimmed text, ignoring case; none for blank text. */
export function searchHits(lines: readonly Pick<EstimateLine, 'name'>[], text: string): number[] {
  const needle = text.trim().toLowerCase();
  if (needle === '') return [];
  const hits: number[] = [];
  lines.forEach((line, i) => {
    if ((line.name ?? '').toLowerCase().includes(needle)) hits.push(i);
  });
  return hits;
}

/** "k/n", "0" when nothing is found, null (no label) when the text is blank. */
export function hitLabel(text: string, hitCount: number, hitIndex: number): string | null {
  if (text.trim() === '') return null;
  if (hitCount === 0) return '0';
  return `${(hitIndex % hitCount) + 1}/${hitCount}`;
}

/** The row of the hit that the index points at (wrapping), or null. */
export function hitRow(hits: readonly number[], hitIndex: number): number | null {
  return hits.length === 0 ? null : hits[hitIndex % hits.length];
}
