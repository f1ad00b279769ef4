// Helpers of the panel walks: the panels' page objects, axe-core, and estimates with footers.
import { createRequire } from 'node:module';
import { expect as baseExpect, type Locator, type Page } from '@playwright/test';

/** The walks run beside other suites on a busy machine: generous waits, never fixed sleeps. */
export const expect = baseExpect.configure({ timeout: 20_000 });

const require = createRequire(import.meta.url);
const AXE_PATH = require.resolve('axe-core/axe.min.js');

/** The parts of the editor that the panels put there; the editor's own walks check the rest. */
export const PANEL_PARTS = [
  '[data-testid="totals-panel"]',
  '[data-testid="calculators-panel"]',
  '[data-testid="formula-bar"]',
  '[data-testid="suggestions"]',
  '[data-testid="item-dialog"]',
  '.name-field',
];

/** Runs axe-core on the panels' parts; fails on serious and critical violations. */
export async function expectAccessible(page: Page, what: string): Promise<void> {
  if (!(await page.evaluate(() => 'axe' in window))) await page.addScriptTag({ path: AXE_PATH });
  const violations = await page.evaluate(async (parts) => {
    type Result = { violations: Array<{ id: string; impact: string; nodes: Array<{ target: string[] }> }> };
    const axe = (window as unknown as { axe: { run: (ctx: object) => Promise<Result> } }).axe;
    const include = parts.filter((p) => document.querySelector(p)).map((p) => [p]);
    const r = await axe.run({ include });
    return r.violations.filter((v) => v.impact === 'serious' || v.impact === 'critical').map((v) => `${v.id}: ${v.nodes.map((n) => n.target.join(' ')).join(', ')}`);
  }, PANEL_PARTS);
  expect(violations, what).toEqual([]);
}

export async function setTheme(page: Page, theme: 'light' | 'dark'): Promise<void> {
  await page.evaluate((t) => localStorage.setItem('calcora.settings', JSON.stringify({ theme: t })), theme);
}

export class TotalsPanel {
  constructor(private readonly page: Page) {}
  get root(): Locator {
    return this.page.getByTestId('totals-panel');
  }
  figure(name: 'works' | 'materials' | 'equipment' | 'markup' | 'grand' | 'balance'): Locator {
    return this.root.getByTestId(`totals-${name}`);
  }
  get markupField(): Locator {
    return this.root.getByLabel('Наценка (формула)');
  }
  get markupError(): Locator {
    return this.root.getByTestId('markup-error');
  }
  check(label: 'Добавка к материалам' | 'Доставка' | 'Аванс'): Locator {
    return this.root.getByLabel(label, { exact: true });
  }
  amount(which: 'materials' | 'delivery' | 'advance'): Locator {
    return this.root.getByTestId(`${which}-field`);
  }
}

/** The figure as a number: "-1 234,5" reads -1234.5. */
export function moneyValue(text: string): number {
  return Number(text.replace(/\s/g, '').replace(',', '.').replace('−', '-'));
}

type Invoke = <T = unknown>(command: string, args?: object) => Promise<T>;

export interface FooterPatch {
  materials?: number;
  delivery?: number;
  advance?: number;
  show_materials?: boolean;
  show_delivery?: boolean;
  show_advance?: boolean;
  markup_formula?: string | null;
  extras_json?: string | null;
}

/** Gives a stored estimate a footer (and optionally calculator parameters and a mode). */
export async function storeFooter(invoke: Invoke, id: number, footer: FooterPatch, estimate: Record<string, unknown> = {}): Promise<void> {
  const full = await invoke<{ estimate: Record<string, unknown>; lines: unknown[]; footer: Record<string, unknown> }>('get_estimate', { id });
  full.footer = { ...full.footer, ...footer };
  full.estimate = { ...full.estimate, ...estimate };
  await invoke('save_estimate', { payload: full });
}
