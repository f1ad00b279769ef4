// What one entry of the suggestion list shows besides the name.

import { lineTypeLabel } from '../model/lineTypes';
import type { CatalogItem } from './catalogItem';

export interface EntryParts {
  name: string;
  unit: string;
  type: string;
  usage: string;
}

export function entryParts(item: CatalogItem): EntryParts {
  return {
    name: item.name,
    unit: item.unit ? `(${item.unit})` : '',
    type: item.line_type && item.line_type !== 'full' ? lineTypeLabel(item.line_type) : '',
    usage: (item.usage_count ?? 0) > 0 ? `×${item.usage_count}` : '',
  };
}
