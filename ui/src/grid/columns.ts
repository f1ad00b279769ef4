// The grid's columns: which of the settings' columns show, their widths, and the resize rule.

import { DEFAULT_COLUMN_WIDTHS, NAME_COLUMN_MIN_WIDTH, type ColumnId, type ColumnSetting } from '../settings/settings';

export const RESIZE_MIN = 32;
export const RESIZE_MAX = 480;

/** Visible columns in their order; article and cost only when the mode shows them. */
export function shownColumns(columns: readonly ColumnSetting[], skuCost: boolean): ColumnSetting[] {
  return columns.filter((c) => c.visible && (skuCost || (c.id !== 'sku' && c.id !== 'cost')));
}

export function columnWidth(column: ColumnSetting): number | undefined {
  return column.width ?? DEFAULT_COLUMN_WIDTHS[column.id];
}

/** CSS grid tracks: every column its width; the name takes the free width, at least its own. */
export function gridTemplate(columns: readonly ColumnSetting[]): string {
  return columns
    .map((c) => (c.id === 'name' ? `minmax(${columnWidth(c) ?? NAME_COLUMN_MIN_WIDTH}px, 1fr)` : `${columnWidth(c) ?? 80}px`))
    .join(' ');
}

/** Width while dragging a header grip: start plus the distance moved, unscaled, clamped. */
export function resizedWidth(startWidth: number, movedPx: number, zoomPercent: number): number {
  const width = startWidth + movedPx / (zoomPercent / 100);
  return Math.round(Math.min(RESIZE_MAX, Math.max(RESIZE_MIN, width)));
}

export function setColumnWidth(columns: readonly ColumnSetting[], id: ColumnId, width: number): ColumnSetting[] {
  return columns.map((c) => (c.id === id ? { ...c, width } : c));
}
