// The names the estimate list shows: estimates that share a name (the same file opened twice,
// two workbooks of one object) are told apart, the older keeping the name and each later one
// showing " (2)", " (3)" … after it. Only the list shows these; the stored names stay as they are.

import type { EstimateSummary } from '../../model/types';

export const UNNAMED = 'Без названия';

/** The shown name of each estimate by id. */
export function distinctNames(items: readonly Pick<EstimateSummary, 'id' | 'object_name'>[]): Map<number, string> {
  const shown = new Map<number, string>();
  const taken = new Set(items.map((i) => i.object_name || UNNAMED));
  const seen = new Map<string, number>();
  for (const item of [...items].sort((a, b) => a.id - b.id)) {
    const name = item.object_name || UNNAMED;
    if (!seen.has(name)) {
      seen.set(name, 1);
      shown.set(item.id, name);
      continue;
    }
    let n = seen.get(name)!;
    let candidate: string;
    do candidate = `${name} (${++n})`;
    while (taken.has(candidate));
    seen.set(name, n);
    taken.add(candidate);
    shown.set(item.id, candidate);
  }
  return shown;
}
