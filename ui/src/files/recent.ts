// The recently used exchange files: newest first, at most eight, one entry per path.
// Kept in local storage; an unreadable list counts as empty.

import { readStored, STORAGE_KEYS, writeStored } from '../platform/storage';

export interface RecentFile {
  path: string;
  name: string;
  /** The estimate the file was opened into or exported from; absent in hand-edited lists. */
  estimateId?: number;
  openedAt: string;
}

export const MAX_RECENT = 8;

function isEntry(v: unknown): v is RecentFile {
  if (typeof v !== 'object' || v === null) return false;
  const e = v as Record<string, unknown>;
  return (
    typeof e.path === 'string' &&
    e.path !== '' &&
    typeof e.name === 'string' &&
    typeof e.openedAt === 'string' &&
    (e.estimateId === undefined || e.estimateId === null || Number.isInteger(e.estimateId))
  );
}

/** Reads the stored list; anything that is not a list of entries gives what of it is readable. */
export function parseRecent(text: string | null): RecentFile[] {
  if (!text) return [];
  let raw: unknown;
  try {
    raw = JSON.parse(text);
  } catch {
    return [];
  }
  if (!Array.isArray(raw)) return [];
  return raw.filter(isEntry).slice(0, MAX_RECENT);
}

/** The list with `entry` first, any older entry of the same path dropped, cut to eight. */
export function withRecent(list: readonly RecentFile[], entry: RecentFile): RecentFile[] {
  return [entry, ...list.filter((e) => e.path !== entry.path)].slice(0, MAX_RECENT);
}

/** Where an entry leads: its estimate's editor, or the list when it names none. */
export function recentTarget(entry: RecentFile): string {
  return typeof entry.estimateId === 'number' ? `/editor/${entry.estimateId}` : '/';
}

const listeners = new Set<() => void>();
let cache: { text: string | null; list: RecentFile[] } | null = null;

export function readRecent(): RecentFile[] {
  const text = readStored(STORAGE_KEYS.recent);
  if (!cache || cache.text !== text) cache = { text, list: parseRecent(text) };
  return cache.list;
}

export function rememberRecent(path: string, name: string, estimateId: number, now: Date = new Date()): void {
  const list = withRecent(readRecent(), { path, name, estimateId, openedAt: now.toISOString() });
  writeStored(STORAGE_KEYS.recent, JSON.stringify(list));
  for (const l of listeners) l();
}

export function subscribeRecent(listener: () => void): () => void {
  listeners.add(listener);
  return () => listeners.delete(listener);
}
