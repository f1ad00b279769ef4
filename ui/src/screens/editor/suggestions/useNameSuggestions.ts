// State of the suggestions of one name field: the results of the newest search, whether the
// list is open, and which entry is highlighted.

import { useCallback, useEffect, useRef, useState } from 'react';
import type { CatalogItem } from '../../../suggestions/catalogItem';
import { searchMemory, SUGGEST_DELAY_MS, suggestionQuery } from '../../../suggestions/search';
import { DebouncedLatest } from '../../../totals/debouncedLatest';

export interface NameSuggestions {
  results: readonly CatalogItem[];
  open: boolean;
  highlight: number;
  setHighlight: (index: number) => void;
  /** After a keystroke: search after the pause, or clear and close for a short text. */
  typed: (text: string) => void;
  /** On focus: a text long enough is searched like a keystroke. */
  focused: (text: string) => void;
  close: () => void;
  /** The field lost focus: nothing pending, nothing shown. */
  cancel: () => void;
}

export function useNameSuggestions(search: (query: string) => Promise<CatalogItem[]> = searchMemory): NameSuggestions {
  const [results, setResults] = useState<readonly CatalogItem[]>([]);
  const [open, setOpen] = useState(false);
  const [highlight, setHighlight] = useState(0);
  const requests = useRef<DebouncedLatest<string, CatalogItem[]> | null>(null);
  requests.current ??= new DebouncedLatest<string, CatalogItem[]>({
    delayMs: SUGGEST_DELAY_MS,
    run: search,
    onResult: (items) => {
      setResults(items);
      setOpen(items.length > 0);
      setHighlight(0);
    },
    // A failed search closes the list without a word.
    onError: () => {
      setResults([]);
      setOpen(false);
    },
  });

  useEffect(() => () => requests.current?.cancel(), []);

  const typed = useCallback((text: string) => {
    const query = suggestionQuery(text);
    if (query === null) {
      requests.current!.cancel();
      setResults([]);
      setOpen(false);
      return;
    }
    requests.current!.request(query);
  }, []);

  const focused = useCallback((text: string) => {
    if (suggestionQuery(text) !== null) typed(text);
  }, [typed]);

  // Closing is the user's answer to this text: a search still under way must not open the list again.
  const close = useCallback(() => {
    requests.current!.cancel();
    setOpen(false);
  }, []);

  const cancel = useCallback(() => {
    requests.current!.cancel();
    setResults([]);
    setOpen(false);
  }, []);

  return { results, open, highlight, setHighlight, typed, focused, close, cancel };
}
