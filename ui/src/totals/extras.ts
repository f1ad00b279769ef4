// Editing the extra sums of the footer: new rows, presets, changes of one row.

import { readExtras, writeExtras, type FooterExtraRow } from './totals';

export const EXTRA_PRESETS = ['Вывоз мусора', 'Подъём', 'Проживание', 'Непредвиденные'] as const;
export const NEW_EXTRA_LABEL = 'Доп. сумма';

const BASE36 = '0123456789abcdefghijklmnopqrstuvwxyz';

/** A random UUID, or where the page cannot make one (no secure context), "x-<ms>-<6 base-36>". */
export function newExtraId(now: () => number = Date.now, random: () => number = Math.random): string {
  const c = globalThis.crypto as Crypto | undefined;
  if (typeof c?.randomUUID === 'function') {
    try {
      return c.randomUUID();
    } catch {
      // Not a secure context: fall through to the plain form.
    }
  }
  let tail = '';
  for (let i = 0; i < 6; i++) tail += BASE36[Math.floor(random() * 36) % 36];
  return `x-${now()}-${tail}`;
}

export function newExtraRow(label: string = NEW_EXTRA_LABEL, id: string = newExtraId()): FooterExtraRow {
  return { id, label, amount: 0, enabled: true };
}

/** The extras text with one more row at the end. */
export function addExtra(extrasJson: string | null, row: FooterExtraRow): string | null {
  return writeExtras([...readExtras(extrasJson), row]);
}

/** The extras text with one row changed; an unknown id changes nothing. */
export function changeExtra(extrasJson: string | null, id: string, patch: Partial<Omit<FooterExtraRow, 'id'>>): string | null {
  return writeExtras(readExtras(extrasJson).map((r) => (r.id === id ? { ...r, ...patch } : r)));
}

/** The extras text without one row; the last removed row leaves null. */
export function removeExtra(extrasJson: string | null, id: string): string | null {
  return writeExtras(readExtras(extrasJson).filter((r) => r.id !== id));
}
