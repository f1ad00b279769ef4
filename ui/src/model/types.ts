// The estimate records exactly as the native commands exchange them.

export type LineType = 'full' | 'quantity_only' | 'fixed' | 'section';
export type Category = 'work' | 'material' | 'equipment';

export interface Estimate {
  id: number;
  object_name: string;
  created_at: string;
  updated_at: string;
  mode: string;
  mode_mask_json: string | null;
  calc_params_json: string | null;
  kp_json: string | null;
}

/** One line. Optional keys are left out of what the page sends when the line lacks them. */
export interface EstimateLine {
  id?: number | null;
  estimate_id: number;
  sort_order: number;
  line_type: string;
  name: string;
  unit?: string | null;
  quantity?: number | null;
  unit_price?: number | null;
  fixed_total?: number | null;
  catalog_item_id?: number | null;
  name_bold?: boolean;
  category?: string;
  format_json?: string | null;
  sku?: string | null;
  cost_price?: number | null;
  formula?: string | null;
}

export interface EstimateFooter {
  estimate_id: number;
  materials: number;
  delivery: number;
  advance: number;
  show_materials: boolean;
  show_delivery: boolean;
  show_advance: boolean;
  markup_formula: string | null;
  extras_json: string | null;
}

/** A whole estimate: what get_estimate returns and save_estimate takes. */
export interface EstimatePayload {
  estimate: Estimate;
  lines: EstimateLine[];
  footer: EstimateFooter;
}

export interface EstimateSummary {
  id: number;
  object_name: string;
  created_at: string;
  updated_at: string;
  total: number | null;
  mode: string;
}

/** A catalog item as list_catalog, search_memory and get_catalog_item return it and save_catalog_item takes it. */
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

/** A catalog item as save_to_global_memory returns it; the page needs only its id. */
export interface CatalogItemRef {
  id: number;
}

/** A new empty line: what the user types into. */
export function newEmptyLine(estimateId: number, sortOrder: number): EstimateLine {
  return {
    estimate_id: estimateId,
    sort_order: sortOrder,
    line_type: 'full',
    name: '',
    unit: 'шт',
    quantity: 1,
    unit_price: 0,
    category: 'work',
  };
}

export function isBlankName(line: Pick<EstimateLine, 'name'>): boolean {
  return (line.name ?? '').trim() === '';
}

export function renumber(lines: EstimateLine[]): EstimateLine[] {
  return lines.map((line, i) => (line.sort_order === i ? line : { ...line, sort_order: i }));
}
