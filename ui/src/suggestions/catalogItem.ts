// A catalog item as search_memory, get_catalog_item and save_catalog_item exchange it.

export interface CatalogItem {
  id: number | null;
  name: string;
  unit: string | null;
  default_price: number | null;
  line_type: string;
  category: string;
  usage_count?: number;
  last_used?: string | null;
  sku?: string | null;
  cost_price?: number | null;
}
