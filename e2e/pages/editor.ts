// Page object of the estimate editor, keyed on data-testid and the fields' visible captions.
import { expect, type Locator, type Page } from '@playwright/test';
import { createRequire } from 'node:module';

const require = createRequire(import.meta.url);

export class EditorPage {
  constructor(readonly page: Page) {}
  get screen(): Locator {
    return this.page.getByTestId('screen-editor');
  }
  get title(): Locator {
    return this.page.getByTestId('editor-title');
  }
  get rows(): Locator {
    return this.page.getByTestId('grid-row');
  }
  get names(): Locator {
    return this.page.getByTestId('name-cell');
  }
  /** Row i of the estimate (drawn only while it is near the view or holds the focus). */
  row(i: number): Locator {
    return this.page.locator(`[data-testid="grid-row"][data-row="${i}"]`);
  }
  get scroller(): Locator {
    return this.page.getByTestId('grid-scroller');
  }
  name(i: number): Locator {
    return this.row(i).getByTestId('name-cell');
  }
  unit(i: number): Locator {
    return this.row(i).getByLabel('Единица измерения');
  }
  qty(i: number): Locator {
    return this.row(i).getByLabel('Объем', { exact: true });
  }
  price(i: number): Locator {
    return this.row(i).getByLabel('Цена', { exact: true });
  }
  sum(i: number): Locator {
    return this.row(i).getByLabel('Сумма', { exact: true });
  }
  lineSum(i: number): Locator {
    return this.row(i).getByTestId('line-sum');
  }
  async nameValues(): Promise<string[]> {
    return this.names.evaluateAll((els) => els.map((e) => (e as HTMLInputElement).value));
  }
  /** Waits until the grid shows these names, in order. */
  async expectNames(names: string[]): Promise<void> {
    await expect.poll(() => this.nameValues()).toEqual(names);
  }
  get error(): Locator {
    return this.page.getByTestId('editor-error');
  }
  /** Waits until the autosave has stored everything (status "Сохранено" and the stored estimate settled). */
  async waitSaved(): Promise<void> {
    await expect(this.page.getByTestId('status-bar')).toContainText('Сохранено');
  }
}

/** The open estimate's id, from the address. */
export function estimateIdOf(page: Page): number {
  return Number(new URL(page.url()).pathname.split('/').pop());
}

export interface SeedLine {
  name: string;
  unit?: string | null;
  quantity?: number;
  unit_price?: number;
  fixed_total?: number;
  category?: string;
  line_type?: string;
}

type Invoke = <T = unknown>(command: string, args?: object) => Promise<T>;
interface Stored {
  estimate: { id: number; object_name: string };
  lines: Array<Record<string, unknown>>;
  footer: object;
}

/** Creates an estimate with these lines through the native side; returns its id. */
export async function seedEstimate(invoke: Invoke, objectName: string, lines: SeedLine[]): Promise<number> {
  const created = await invoke<{ estimate: { id: number } }>('create_estimate', { objectName });
  const id = created.estimate.id;
  const full = await invoke<Stored>('get_estimate', { id });
  full.lines = lines.map((l, i) => ({ estimate_id: id, sort_order: i, line_type: 'full', category: 'work', unit: 'шт', ...l }));
  await invoke('save_estimate', { payload: full });
  return id;
}

export async function storedLines(invoke: Invoke, id: number): Promise<Array<Record<string, unknown>>> {
  return (await invoke<Stored>('get_estimate', { id })).lines;
}

/** The example used by most walks: two sections, works, materials and machinery. */
export const EXAMPLE: SeedLine[] = [
  { name: '1. Стены', line_type: 'section', unit: '' },
  { name: 'Кладка', unit: 'м²', quantity: 20, unit_price: 900 },
  { name: 'Кирпич', unit: 'шт', quantity: 1000, unit_price: 20, category: 'material' },
  { name: 'Раствор', unit: 'м³', quantity: 2, unit_price: 4500, category: 'material' },
  { name: 'Кладка перегородок', unit: 'м²', quantity: 8, unit_price: 850 },
  { name: 'Выезд', line_type: 'fixed', unit: null, fixed_total: 1500, category: 'equipment' },
  { name: 'Кран', unit: 'смена', quantity: 1, unit_price: 12000, category: 'equipment' },
];

/** Serious and critical accessibility faults that axe-core finds in the page as it is now. */
export async function axeFaults(page: Page): Promise<string[]> {
  await page.addScriptTag({ path: require.resolve('axe-core/axe.min.js') });
  return page.evaluate(async () => {
    const axe = (window as unknown as { axe: { run: (ctx: Document) => Promise<{ violations: Array<{ id: string; impact: string; nodes: Array<{ target: string[] }> }> }> } }).axe;
    const result = await axe.run(document);
    return result.violations
      .filter((v) => v.impact === 'serious' || v.impact === 'critical')
      .map((v) => `${v.id}: ${v.nodes.slice(0, 3).map((n) => n.target.join(' ')).join(', ')}`);
  });
}
