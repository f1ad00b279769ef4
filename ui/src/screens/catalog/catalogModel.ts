// The catalog screen's rules that need no screen: labels, the filters, the count line,
// a new item and how a price is shown.

export type CatalogLineType = 'full' | 'fixed' | 'quantity_only';
export type CatalogCategory = 'work' | 'material' | 'equipment';

import type { CatalogItem } from '../../model/types';
import { plainNumber } from '../../numbers/numberText';

export type { CatalogItem };

export const TYPE_LABELS: Record<CatalogLineType, string> = { full: 'Полная', fixed: 'Фикс. сумма', quantity_only: 'Без цены' };
export const CATEGORY_LABELS: Record<CatalogCategory, string> = { work: 'Работа', material: 'Материал', equipment: 'Техника' };
export const CATEGORY_FILTER_LABELS: Record<CatalogCategory, string> = { work: 'Работы', material: 'Материалы', equipment: 'Техника' };
export const LINE_TYPES = Object.keys(TYPE_LABELS) as CatalogLineType[];
export const CATEGORIES = Object.keys(CATEGORY_LABELS) as CatalogCategory[];

export type TypeFilter = 'all' | CatalogLineType;
export type CategoryFilter = 'all' | CatalogCategory;

export function newCatalogItem(): CatalogItem {
  return { id: null, name: '', unit: 'шт', default_price: 0, line_type: 'full', category: 'work', usage_count: 0, last_used: null, sku: null, cost_price: null };
}

export function filterItems(items: readonly CatalogItem[], type: TypeFilter, category: CategoryFilter): readonly CatalogItem[] {
  if (type === 'all' && category === 'all') return items;
  return items.filter((i) => (type === 'all' || i.line_type === type) && (category === 'all' || i.category === category));
}

/** "3 / 120 поз." when filters hide some loaded items, else "120 поз.". */
export function countText(shown: number, loaded: number): string {
  return shown === loaded ? `${shown} поз.` : `${shown} / ${loaded} поз.`;
}

export function typeLabel(lineType: string): string {
  return TYPE_LABELS[lineType as CatalogLineType] ?? TYPE_LABELS.full;
}

/** The price as a plain number with a point, or a dash without one. */
export function priceText(price: number | null | undefined): string {
  return typeof price === 'number' && Number.isFinite(price) ? plainNumber(price) : '—';
}

/** What the price field holds as a price: empty is no price, a comma counts as the decimal point. */
export function readPrice(text: string): number | null | 'invalid' {
  const t = text.trim().replace(',', '.');
  if (t === '') return null;
  const n = Number(t);
  return Number.isFinite(n) ? n : 'invalid';
}
