// The catalog's loaded items: loaded 200 ms after the search text last changed (showing
// "Загрузка…"), and reloaded quietly after changes so the table and its scroll stay put.

import { useCallback, useEffect, useRef, useState } from 'react';
import { invoke } from '../../platform';
import type { CatalogItem } from './catalogModel';

export const SEARCH_DELAY_MS = 200;

export interface CatalogList {
  items: CatalogItem[];
  loading: boolean;
  /** Loads again with the current search text, keeping the table on screen. */
  reload: () => Promise<void>;
  /** Changes the loaded items in place (an item left the list). */
  setItems: (update: (items: CatalogItem[]) => CatalogItem[]) => void;
}

export function useCatalogList(search: string, onError: (text: string) => void): CatalogList {
  const [items, setItemsState] = useState<CatalogItem[]>([]);
  const [loading, setLoading] = useState(true);
  const query = useRef<string | null>(null);
  // Only the answer to the latest request counts: an older, slower one must not overwrite it.
  const latest = useRef(0);
  const errorRef = useRef(onError);
  errorRef.current = onError;

  const load = useCallback(async (quiet: boolean) => {
    const ticket = ++latest.current;
    if (!quiet) setLoading(true);
    try {
      const found = await invoke<CatalogItem[]>('list_catalog', { query: query.current });
      if (ticket === latest.current) setItemsState(found);
    } catch (e) {
      if (ticket === latest.current) errorRef.current(`Ошибка: ${e instanceof Error ? e.message : String(e)}`);
    } finally {
      if (ticket === latest.current) setLoading(false);
    }
  }, []);

  const opened = useRef(false);
  useEffect(() => {
    // The screen's first load does not wait; later ones wait for a pause in the typing.
    const delay = opened.current ? SEARCH_DELAY_MS : 0;
    opened.current = true;
    const timer = setTimeout(() => {
      query.current = search.trim() || null;
      void load(false);
    }, delay);
    return () => clearTimeout(timer);
  }, [search, load]);

  const reload = useCallback(() => load(true), [load]);
  const setItems = useCallback((update: (items: CatalogItem[]) => CatalogItem[]) => setItemsState(update), []);
  return { items, loading, reload, setItems };
}
