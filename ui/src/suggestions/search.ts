// The name memory search behind the suggestions: from two trimmed characters, after a pause.

import { invoke } from '../platform';
import type { CatalogItem } from './catalogItem';

export const SUGGEST_DELAY_MS = 200;
export const SUGGEST_MIN_CHARS = 2;

/** The query for a typed text, or null when it is too short to search. */
export function suggestionQuery(text: string): string | null {
  const q = text.trim();
  return Array.from(q).length < SUGGEST_MIN_CHARS ? null : q;
}

export function searchMemory(query: string): Promise<CatalogItem[]> {
  return invoke<CatalogItem[]>('search_memory', { query });
}
