// The editor for the eye and for assistive technology: axe-core in both themes, and (with
// CALCORA_SHOTS=1) screenshots in both themes and at density "Крупный" in test-results/shots.
import path from 'node:path';
import { test, expect } from '../fixtures';
import { axeFaults, EditorPage, EXAMPLE, seedEstimate } from '../pages/editor';

for (const theme of ['light', 'dark'] as const) {
  test(`the editor passes axe-core in the ${theme} theme`, async ({ page, host }) => {
    const id = await seedEstimate(host.invoke, 'Квартира на Садовой, 54 м²', EXAMPLE);
    await page.evaluate((t) => localStorage.setItem('calcora.settings', JSON.stringify({ theme: t, defaultMode: 'private' })), theme);
    await page.goto(`${host.origin}/editor/${id}`);
    const editor = new EditorPage(page);
    await expect(editor.name(1)).toHaveValue('Кладка');
    await page.getByTestId('mode-select').selectOption('government');
    await expect(page.getByTestId('government-note')).toBeVisible();
    await page.getByPlaceholder('Найти…').fill('клад');
    await editor.qty(2).click();
    expect(await axeFaults(page)).toEqual([]);
    await page.getByRole('button', { name: 'Колонки…' }).click();
    expect(await axeFaults(page)).toEqual([]);
  });
}

test('screenshots of the editor', async ({ page, host }) => {
  test.skip(!process.env.CALCORA_SHOTS, 'screenshots are taken on request');
  test.setTimeout(120_000);
  const id = await seedEstimate(host.invoke, 'Квартира на Садовой, 54 м²', [
    ...EXAMPLE,
    { name: '2. Полы', line_type: 'section', unit: '' },
    { name: 'Стяжка пола', unit: 'м²', quantity: 54, unit_price: 650 },
    { name: 'Смесь для стяжки', unit: 'меш', quantity: 36, unit_price: 385.5, category: 'material' },
    { name: 'Вывоз мусора', line_type: 'fixed', unit: null, fixed_total: 4500, category: 'equipment' },
  ]);
  for (const [theme, uiSize] of [['light', 'compact'], ['dark', 'compact'], ['light', 'comfortable'], ['dark', 'comfortable']] as const) {
    await page.evaluate(([t, s]) => localStorage.setItem('calcora.settings', JSON.stringify({ theme: t, uiSize: s })), [theme, uiSize]);
    await page.goto(`${host.origin}/editor/${id}`);
    const editor = new EditorPage(page);
    await expect(editor.name(1)).toHaveValue('Кладка');
    await editor.qty(4).click();
    await editor.row(2).hover();
    await page.screenshot({ path: path.join('test-results', 'shots', `editor-${theme}-${uiSize}.png`) });
  }
});
