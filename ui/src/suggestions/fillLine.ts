// What a line becomes when the user picks a catalog item for it, and what typing a name does.

import { guessCategory } from '../category/category';
import type { EstimateLine } from '../model/types';
import type { CatalogItem } from './catalogItem';

/**
 * The line filled from an item: it keeps its place, estimate, id, formula and format, and
 * takes name, link, article, cost price, category and by the item's type unit, quantity,
 * price and sum.
 */
export function fillLineFromItem(line: EstimateLine, item: CatalogItem): EstimateLine {
  const base: EstimateLine = {
    ...line,
    name: item.name,
    catalog_item_id: item.id,
    sku: item.sku ?? null,
    cost_price: item.cost_price ?? null,
    category: item.category || 'work',
  };
  if (item.line_type === 'fixed') {
    return { ...base, line_type: 'fixed', unit: null, quantity: null, unit_price: null, fixed_total: item.default_price ?? 0 };
  }
  const unit = item.unit ? item.unit : 'шт';
  if (item.line_type === 'quantity_only') {
    return { ...base, line_type: 'quantity_only', unit, quantity: 1, unit_price: null, fixed_total: null };
  }
  return { ...base, line_type: 'full', unit, quantity: 1, unit_price: item.default_price ?? 0, fixed_total: null };
}

/** A keystroke in the name: the new name, no catalog link any more, the category guessed anew. */
export function typeName(line: EstimateLine, text: string): EstimateLine {
  return { ...line, name: text, catalog_item_id: null, category: guessCategory(text) };
}
