// Every panel open at 1,280 × 800 (proposal, formula bar, calculators, totals with extras and the
// advance) in every density: the table keeps its name, quantity, price and sum columns and
// several rows in sight. Screenshots of each density in both themes land in test-results/shots.
import path from 'node:path';
import type { Page } from '@playwright/test';
import { test, expect } from '../fixtures';
import { EditorPage, seedEstimate, type SeedLine } from '../pages/editor';
import { expectAccessible, storeFooter } from './panels-support';

test.describe.configure({ timeout: 120_000 });

const LINES: SeedLine[] = [
  { name: '1. Демонтаж', line_type: 'section', unit: '' },
  ...Array.from({ length: 24 }, (_, i): SeedLine => ({ name: `Работа номер ${i + 1}`, unit: 'м²', quantity: 10 + i, unit_price: 350 })),
];

async function openAllPanels(page: Page, host: { origin: string; invoke: <T>(c: string, a?: object) => Promise<T> }, theme: string, uiSize: string) {
  const id = await seedEstimate(host.invoke, 'Санузел на Садовой', LINES);
  const extras = JSON.stringify([
    { id: 'a', label: 'Подъём', amount: 1200, enabled: true },
    { id: 'b', label: 'Вывоз мусора', amount: 4500, enabled: true },
  ]);
  await storeFooter(
    host.invoke,
    id,
    { materials: 500, show_materials: true, delivery: 3000, show_delivery: true, advance: 50_000, show_advance: true, markup_formula: 'works * 0.1', extras_json: extras },
    { mode: 'private', mode_mask_json: '{"skuCost":true,"calculators":true,"proposal":true,"governmentEngine":false}' },
  );
  await page.setViewportSize({ width: 1280, height: 800 });
  await page.goto(`${host.origin}/`);
  await page.evaluate(([t, s]) => localStorage.setItem('calcora.settings', JSON.stringify({ theme: t, uiSize: s })), [theme, uiSize]);
  await page.goto(`${host.origin}/editor/${id}`);
  const editor = new EditorPage(page);
  await expect(editor.name(1)).toHaveValue('Работа номер 1');
  await page.getByRole('button', { name: 'КП', exact: true }).click();
  await expect(page.getByTestId('proposal-panel')).toBeVisible();
  await editor.qty(2).click();
  await page.getByTestId('formula-field').fill('стены * 1.05');
  return editor;
}

/** Rows of the grid wholly inside the grid's visible band. */
async function rowsInSight(page: Page): Promise<number> {
  return page.evaluate(() => {
    const scroller = document.querySelector('[data-testid="grid-scroller"]')!.getBoundingClientRect();
    const top = Math.max(scroller.top, 0);
    const bottom = Math.min(scroller.bottom, window.innerHeight);
    const head = document.querySelector('[data-testid="grid-head"]')?.getBoundingClientRect().height ?? 0;
    return [...document.querySelectorAll('[data-testid="grid-row"]')].filter((r) => {
      const b = r.getBoundingClientRect();
      return b.top >= top + head - 1 && b.bottom <= bottom + 1 && b.height > 0;
    }).length;
  });
}

/** The header cells of these columns lie wholly inside the window and the grid. */
async function columnsInSight(page: Page, titles: string[]): Promise<string[]> {
  return page.evaluate((wanted) => {
    const scroller = document.querySelector('[data-testid="grid-scroller"]')!.getBoundingClientRect();
    const right = Math.min(scroller.right, window.innerWidth);
    return [...document.querySelectorAll('[data-testid="grid-head"] [role="columnheader"]')]
      .filter((th) => {
        const b = th.getBoundingClientRect();
        return b.left >= scroller.left - 1 && b.right <= right + 1 && b.width > 0;
      })
      .map((th) => th.textContent?.trim() ?? '')
      .filter((t) => wanted.includes(t));
  }, titles);
}

for (const uiSize of ['compact', 'regular', 'comfortable'] as const) {
  test(`every panel open at 1280 × 800 leaves the table in sight (${uiSize})`, async ({ page, host }) => {
    await openAllPanels(page, host, 'light', uiSize);
    await expect.poll(() => rowsInSight(page)).toBeGreaterThanOrEqual(5);
    expect(await columnsInSight(page, ['Наименование', 'Объем', 'Цена', 'Сумма'])).toEqual(['Наименование', 'Объем', 'Цена', 'Сумма']);
  });
}

test('every panel open passes axe-core in both themes at density "Крупный"; screenshots', async ({ page, host }) => {
  for (const theme of ['light', 'dark'] as const) {
    for (const uiSize of ['compact', 'comfortable'] as const) {
      await openAllPanels(page, host, theme, uiSize);
      await page.screenshot({ path: path.join('test-results', 'shots', `all-panels-${theme}-${uiSize}.png`) });
      if (uiSize === 'comfortable') await expectAccessible(page, `all panels, ${theme}`);
    }
  }
});
