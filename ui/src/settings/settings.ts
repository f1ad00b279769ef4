// The user's preferences: how they are read (each key judged on its own), written and
// applied to the document.

import { readStored, STORAGE_KEYS, writeStored } from '../platform/storage';

export type UiSize = 'compact' | 'regular' | 'comfortable';
export type Theme = 'light' | 'dark' | 'system';
export type PresetMode = 'simple' | 'private' | 'government';
export type ColumnId = 'num' | 'name' | 'sku' | 'cost' | 'unit' | 'qty' | 'price' | 'total' | 'type' | 'actions';

export interface ColumnSetting {
  id: ColumnId;
  title: string;
  visible: boolean;
  width?: number;
}

export interface AppSettings {
  uiSize: UiSize;
  theme: Theme;
  defaultTemplate: string;
  defaultMode: PresetMode;
  columns: ColumnSetting[];
  defaultFont: string;
  defaultFontSize: number;
  printFont: string;
}

export const UI_SIZES: readonly UiSize[] = ['compact', 'regular', 'comfortable'];
export const UI_SIZE_LABELS: Record<UiSize, string> = { compact: 'Компактный', regular: 'Обычный', comfortable: 'Крупный' };
export const THEMES: readonly Theme[] = ['light', 'dark', 'system'];
export const PRESET_MODES: readonly PresetMode[] = ['simple', 'private', 'government'];

export const FONTS = [
  'system-ui', 'Arial', 'Helvetica', 'Verdana', 'Tahoma', 'Georgia', 'Times New Roman', 'Times', 'Palatino',
  'Courier New', 'Menlo', 'PT Sans', 'PT Serif',
] as const;

/** Widths of columns without a width of their own; the name column takes the free width. */
export const DEFAULT_COLUMN_WIDTHS: Record<ColumnId, number | undefined> = {
  num: 44, name: undefined, sku: 88, cost: 88, unit: 88, qty: 80, price: 88, total: 88, type: 96, actions: 44,
};
export const NAME_COLUMN_MIN_WIDTH = 160;

const DEFAULT_TITLES: Record<ColumnId, string> = {
  num: '№', name: 'Наименование', sku: 'Артикул', cost: 'Себест.', unit: 'Ед.', qty: 'Объем', price: 'Цена',
  total: 'Сумма', type: 'Тип', actions: '',
};
const COLUMN_IDS = Object.keys(DEFAULT_TITLES) as ColumnId[];
// Titles and widths that earlier versions stored as their defaults.
const OLD_TITLES: Partial<Record<ColumnId, string>> = { unit: 'Ед.изм.', price: 'Стоимость' };
const OLD_WIDTHS: Partial<Record<ColumnId, number>> = { unit: 72, qty: 88, price: 104, total: 104, actions: 52 };

function defaultColumn(id: ColumnId): ColumnSetting {
  const width = DEFAULT_COLUMN_WIDTHS[id];
  return width === undefined ? { id, title: DEFAULT_TITLES[id], visible: true } : { id, title: DEFAULT_TITLES[id], visible: true, width };
}

export function defaultColumns(): ColumnSetting[] {
  return COLUMN_IDS.map(defaultColumn);
}

export function defaultSettings(): AppSettings {
  return {
    uiSize: 'compact',
    theme: 'system',
    defaultTemplate: 'default',
    defaultMode: 'simple',
    columns: defaultColumns(),
    defaultFont: 'system-ui',
    defaultFontSize: 13,
    printFont: 'Times New Roman',
  };
}

function isColumnId(v: unknown): v is ColumnId {
  return typeof v === 'string' && (COLUMN_IDS as string[]).includes(v);
}

export function readColumns(stored: unknown[]): ColumnSetting[] {
  const out: ColumnSetting[] = [];
  for (const entry of stored) {
    if (typeof entry !== 'object' || entry === null) continue;
    const e = entry as Record<string, unknown>;
    if (!isColumnId(e.id) || out.some((c) => c.id === e.id)) continue;
    const id = e.id;
    let title = typeof e.title === 'string' ? e.title : '';
    if (title.trim() === '' || OLD_TITLES[id] === title) title = DEFAULT_TITLES[id];
    let width = typeof e.width === 'number' && Number.isFinite(e.width) ? e.width : undefined;
    if (width === undefined || OLD_WIDTHS[id] === width) width = DEFAULT_COLUMN_WIDTHS[id];
    const column: ColumnSetting = { id, title, visible: typeof e.visible === 'boolean' ? e.visible : true };
    if (width !== undefined) column.width = width;
    out.push(column);
  }
  for (const id of COLUMN_IDS) if (!out.some((c) => c.id === id)) out.push(defaultColumn(id));
  return out;
}

function oneOf<T extends string>(list: readonly T[], v: unknown): T | undefined {
  return typeof v === 'string' && (list as readonly string[]).includes(v) ? (v as T) : undefined;
}

/** Reads settings from their stored text (null when nothing is stored). */
export function parseSettings(text: string | null): AppSettings {
  const d = defaultSettings();
  let raw: unknown = {};
  if (text !== null) {
    try {
      raw = JSON.parse(text);
    } catch {
      return d;
    }
  }
  const s = typeof raw === 'object' && raw !== null && !Array.isArray(raw) ? (raw as Record<string, unknown>) : {};
  const legacyCompact = typeof s.compact === 'boolean' ? (s.compact ? 'compact' : 'regular') : 'compact';
  let fontSize = d.defaultFontSize;
  if (typeof s.defaultFontSize === 'number') {
    fontSize = Number.isFinite(s.defaultFontSize) ? Math.min(24, Math.max(10, Math.round(s.defaultFontSize))) : 13;
  }
  return {
    uiSize: oneOf(UI_SIZES, s.uiSize) ?? legacyCompact,
    theme: oneOf(THEMES, s.theme) ?? d.theme,
    defaultTemplate: typeof s.defaultTemplate === 'string' ? s.defaultTemplate : d.defaultTemplate,
    defaultMode: oneOf(PRESET_MODES, s.defaultMode) ?? d.defaultMode,
    columns: Array.isArray(s.columns) ? readColumns(s.columns) : d.columns,
    defaultFont: oneOf(FONTS, s.defaultFont) ?? d.defaultFont,
    defaultFontSize: fontSize,
    printFont: oneOf(FONTS, s.printFont) ?? d.printFont,
  };
}

export function readSettings(): AppSettings {
  return parseSettings(readStored(STORAGE_KEYS.settings));
}

type SettingsListener = (settings: AppSettings) => void;
const listeners = new Set<SettingsListener>();

/** Called after every write (the templates badge, the editor's fonts). */
export function subscribeSettings(listener: SettingsListener): () => void {
  listeners.add(listener);
  return () => listeners.delete(listener);
}

/** Lays the given keys over the current settings, stores the whole record and applies it. */
export function writeSettings(patch: Partial<AppSettings>): AppSettings {
  const next: AppSettings = { ...readSettings(), ...patch };
  writeStored(STORAGE_KEYS.settings, JSON.stringify(next));
  applySettings(next);
  for (const l of listeners) l(next);
  return next;
}

export function systemPrefersDark(): boolean {
  return typeof window.matchMedia === 'function' && window.matchMedia('(prefers-color-scheme: dark)').matches;
}

const DENSITY_CLASSES = ['ui-compact', 'ui-regular', 'ui-comfortable', 'compact'];

function cssFont(font: string): string {
  return font.includes(' ') ? `"${font}"` : font;
}

export function applySettings(settings: AppSettings = readSettings(), root: HTMLElement = document.documentElement): void {
  root.classList.remove(...DENSITY_CLASSES);
  root.classList.add(`ui-${settings.uiSize}`);
  root.style.setProperty('--estimate-font', cssFont(settings.defaultFont));
  root.style.setProperty('--estimate-font-size', `${settings.defaultFontSize}px`);
  root.style.setProperty('--print-font', cssFont(settings.printFont));
  const dark = settings.theme === 'dark' || (settings.theme === 'system' && systemPrefersDark());
  root.classList.toggle('dark', dark);
}
