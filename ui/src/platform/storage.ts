// The page's local storage. Every read and write tolerates a storage that is missing or
// refuses (private windows, quota): preferences then simply fall back to defaults.

export const STORAGE_KEYS = {
  settings: 'calcora.settings',
  recent: 'calcora.recent',
  sidebar: 'calcora.sidebar',
  tableZoom: 'calcora.tableZoom',
  footer: 'calcora.footer',
  unitCatalogExtended: 'calcora.unitCatalogExtended',
  /** The folder of the last file saved, where the next save dialog starts. */
  saveFolder: 'calcora.saveFolder',
} as const;

export function readStored(key: string): string | null {
  try {
    return window.localStorage.getItem(key);
  } catch {
    return null;
  }
}

export function writeStored(key: string, value: string): void {
  try {
    window.localStorage.setItem(key, value);
  } catch {
    // A refused write only means the preference is not remembered.
  }
}

/** A flag stored as "1" / "0"; anything else is the fallback. */
export function readFlag(key: string, fallback = false): boolean {
  const v = readStored(key);
  return v === '1' ? true : v === '0' ? false : fallback;
}

export function writeFlag(key: string, value: boolean): void {
  writeStored(key, value ? '1' : '0');
}
