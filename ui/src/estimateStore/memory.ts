// What a line gives to the name memory when it is registered.

import { guessCategory } from '../category/category';
import type { EstimateLine } from '../model/types';

export interface MemoryEntry {
  name: string;
  unit: string | null;
  price: number | null;
  lineType: 'full' | 'quantity_only' | 'fixed';
  category: string;
  updatePrice: boolean;
}

/** The arguments of save_to_global_memory, or null for a section or a line without a name. */
export function memoryEntry(line: EstimateLine, updatePrice = false): MemoryEntry | null {
  const name = (line.name ?? '').trim();
  if (name === '' || line.line_type === 'section') return null;
  const category = line.category ? line.category : guessCategory(name);
  const unit = line.unit ? line.unit : 'шт';
  if (line.line_type === 'fixed') {
    return { name, unit: null, price: line.fixed_total ?? 0, lineType: 'fixed', category, updatePrice };
  }
  if (line.line_type === 'quantity_only') {
    return { name, unit, price: null, lineType: 'quantity_only', category, updatePrice };
  }
  return { name, unit, price: line.unit_price ?? 0, lineType: 'full', category, updatePrice };
}

/**
 * Whether the line's category was set on purpose (the badge, a pasted category column) rather
 * than guessed from its name while it was typed.
 */
export function categorySetByUser(line: EstimateLine): boolean {
  const name = (line.name ?? '').trim();
  return !!line.category && line.category !== guessCategory(name);
}
