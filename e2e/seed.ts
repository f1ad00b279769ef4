// Estimates and catalog items put in place through the native commands, as test data.
import type { Host } from './fixtures';

export interface SeedLine {
  name: string;
  unit?: string;
  quantity?: number;
  unit_price?: number;
  category?: string;
  line_type?: string;
}

interface Payload {
  estimate: { id: number; object_name: string };
  lines: Array<Record<string, unknown>>;
  footer: object;
}

/** A new estimate with the given lines; returns its id. */
export async function seedEstimate(host: Host, objectName: string, lines: SeedLine[]): Promise<number> {
  const created = await host.invoke<Payload>('create_estimate', { objectName });
  const id = created.estimate.id;
  created.lines = lines.map((l, i) => ({
    estimate_id: id,
    sort_order: i,
    line_type: l.line_type ?? 'full',
    name: l.name,
    unit: l.unit ?? 'шт',
    quantity: l.quantity ?? 1,
    unit_price: l.unit_price ?? 0,
    category: l.category ?? 'work',
  }));
  await host.invoke('save_estimate', { payload: created });
  return id;
}

export const SAMPLE_LINES: SeedLine[] = [
  { name: '1. Стены', line_type: 'section' },
  { name: 'Штукатурка стен', unit: 'м²', quantity: 126.5, unit_price: 650 },
  { name: 'Смесь штукатурная', unit: 'кг', quantity: 1520, unit_price: 14.2, category: 'material' },
  { name: 'Вывоз мусора', unit: 'рейс', quantity: 2, unit_price: 4500, category: 'equipment' },
];
