// The grey inline completion behind the cursor of the name field.

import type { CatalogItem } from './catalogItem';

export interface CompletionInput {
  typed: string;
  results: readonly CatalogItem[];
  listOpen: boolean;
  /** The name cell's alignment; the completion is drawn only for left-aligned names. */
  align: 'left' | 'center' | 'right';
}

/**
 * The rest of the first result's name after what was typed, or '' when none is shown: the list
 * must be closed, the trimmed typed text at least two characters, and the first result's
 * trimmed name longer than it and starting with it (letter case ignored).
 */
export function inlineCompletion({ typed, results, listOpen, align }: CompletionInput): string {
  if (listOpen || align !== 'left' || results.length === 0) return '';
  const text = typed.trim();
  const name = results[0].name.trim();
  if (text.length < 2 || name.length <= text.length) return '';
  if (name.slice(0, text.length).toLocaleLowerCase('ru') !== text.toLocaleLowerCase('ru')) return '';
  return name.slice(text.length);
}
