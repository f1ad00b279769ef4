// Rows as a whole: dragging, the row menu, deleting, the category filter, search, column
// widths, the column dialog and the table zoom.
import { test, expect } from '../fixtures';
import { EditorPage, EXAMPLE, seedEstimate, storedLines } from '../pages/editor';

// Long walks of many steps: generous limits for a busy 2-core machine.
test.describe.configure({ timeout: 120_000 });

test('a row dragged from 2 onto 5 lands at 5; a click on the grip selects; duplicate and delete keep focus and scroll', async ({ page, host }) => {
  const id = await seedEstimate(host.invoke, 'Стены', EXAMPLE);
  await page.goto(`${host.origin}/editor/${id}`);
  const editor = new EditorPage(page);
  await expect(editor.name(2)).toHaveValue('Кирпич');

  const grip = editor.row(2).getByTestId('row-grip');
  const from = (await grip.boundingBox())!;
  const to = (await editor.name(5).boundingBox())!;
  await page.mouse.move(from.x + from.width / 2, from.y + from.height / 2);
  await page.mouse.down();
  await page.mouse.move(from.x + from.width / 2, from.y + from.height / 2 + 3);
  await expect(editor.row(2)).not.toHaveClass(/is-dragging/);
  await page.mouse.move(from.x + from.width / 2, to.y + to.height / 2, { steps: 8 });
  await expect(editor.row(2)).toHaveClass(/is-dragging/);
  await expect(editor.row(5)).toHaveClass(/is-drop-target/);
  await page.mouse.up();
  await editor.expectNames(['1. Стены', 'Кладка', 'Раствор', 'Кладка перегородок', 'Выезд', 'Кирпич', 'Кран', '']);

  // A click without moving selects the row: ring on its name, arrows then move into the cells.
  await editor.row(1).getByTestId('row-grip').click();
  await expect(editor.row(1).locator('.cell-name')).toHaveClass(/has-ring/);
  await page.keyboard.press('ArrowDown');
  await expect(editor.name(2)).toBeFocused();

  await editor.row(1).click({ button: 'right' });
  await page.getByRole('menuitem', { name: 'Дублировать' }).click();
  await expect(editor.name(2)).toHaveValue('Кладка (копия)');
  await editor.row(8).click({ button: 'right', position: { x: 5, y: 5 } });
  await page.getByRole('menuitem', { name: 'Дублировать' }).click();
  await expect(editor.name(9)).toHaveValue('');
  await editor.row(0).click({ button: 'right', position: { x: 5, y: 5 } });
  await page.getByRole('menuitem', { name: 'Вставить ниже' }).click();
  await expect(editor.name(1)).toHaveValue('');
  await expect(editor.rows).toHaveCount(11);

  // Deleting the focused row: focus goes to the row that took its place.
  await editor.qty(3).click();
  await editor.row(3).getByTestId('row-delete').click();
  await expect(editor.name(3)).toHaveValue('Раствор');
  await expect(editor.row(3).locator('.cell-name')).toHaveClass(/has-ring/);

  await expect
    .poll(async () => (await storedLines(host.invoke, id)).map((l) => l.name), { timeout: 30_000 })
    .toEqual(['1. Стены', 'Кладка', 'Раствор', 'Кладка перегородок', 'Выезд', 'Кирпич', 'Кран']);
});

test('deleting a row keeps the scroll position of a long grid', async ({ page, host }) => {
  const lines = Array.from({ length: 80 }, (_, i) => ({ name: `Позиция ${i + 1}`, quantity: i + 1, unit_price: 10 }));
  const id = await seedEstimate(host.invoke, 'Длинная', lines);
  await page.setViewportSize({ width: 1280, height: 600 });
  await page.goto(`${host.origin}/editor/${id}`);
  const editor = new EditorPage(page);
  // Only the rows near the view are in the document: the grid's row count tells them all.
  const grid = page.getByTestId('grid');
  await expect(grid).toHaveAttribute('aria-rowcount', '82');
  const scroller = page.getByTestId('grid-scroller');
  await scroller.evaluate((el) => (el.scrollTop = 900));
  const row = editor.row(33);
  // Hovering brings the row fully into view first; the position to keep is the one after that.
  await row.getByTestId('row-delete').hover();
  const before = await scroller.evaluate((el) => el.scrollTop);
  expect(before).toBeGreaterThan(800);
  await row.getByTestId('row-delete').click();
  await expect(grid).toHaveAttribute('aria-rowcount', '81');
  expect(await scroller.evaluate((el) => el.scrollTop)).toBe(before);
});

test('filter "Материалы" keeps sections and the empty line; totals still count works; search label steps 1/3 → 2/3', async ({ page, host }) => {
  const id = await seedEstimate(host.invoke, 'Стены', EXAMPLE);
  await page.goto(`${host.origin}/editor/${id}`);
  const editor = new EditorPage(page);
  await expect(editor.rows).toHaveCount(8);
  const grand = page.getByTestId('totals-grand');
  await expect(grand).toHaveText('67 300');

  await page.getByRole('button', { name: 'Материалы' }).click();
  await expect(page.getByRole('button', { name: 'Материалы' })).toHaveAttribute('aria-pressed', 'true');
  const shown = editor.rows.filter({ visible: true });
  await expect(shown).toHaveCount(4);
  await expect(editor.row(0)).toBeVisible();
  await expect(editor.row(7)).toBeVisible();
  await expect(editor.row(1)).toBeHidden();
  await expect(grand).toHaveText('67 300');
  // Navigation passes over hidden rows.
  await page.keyboard.press('ArrowDown');
  await expect(editor.name(2)).toBeFocused();
  await page.getByRole('button', { name: 'Все' }).click();
  await expect(editor.rows.filter({ visible: true })).toHaveCount(8);

  const search = page.getByPlaceholder('Найти…');
  await page.keyboard.press('Control+f');
  await expect(search).toBeFocused();
  await search.fill('КЛАД');
  const label = page.getByTestId('search-label');
  await expect(label).toHaveText('1/2');
  await search.fill('Д');
  await expect(label).toHaveText('1/3');
  await expect(editor.rows.and(page.locator('.is-hit'))).toHaveCount(3);
  await search.press('Enter');
  await expect(label).toHaveText('2/3');
  await expect(editor.row(4)).toHaveClass(/is-current/);
  await label.click();
  await expect(label).toHaveText('3/3');
  await expect(editor.row(5)).toHaveClass(/is-current/);
  await search.fill('бетон');
  await expect(label).toHaveText('0');
  await search.fill(' ');
  await expect(label).toHaveCount(0);
});

test('a column stops at 480 px; the column dialog renames and hides; zoom 137 reads as 140 and is kept', async ({ page, host }) => {
  const id = await seedEstimate(host.invoke, 'Стены', EXAMPLE);
  await page.evaluate(() => localStorage.setItem('calcora.tableZoom', '137'));
  await page.goto(`${host.origin}/editor/${id}`);
  const editor = new EditorPage(page);
  await expect(page.getByTestId('zoom-value')).toHaveText('140%');
  await page.getByTestId('zoom-slider').fill('100');
  await expect(page.getByTestId('zoom-value')).toHaveText('100%');
  expect(await page.evaluate(() => localStorage.getItem('calcora.tableZoom'))).toBe('100');

  const grip = page.getByTestId('grip-price');
  const box = (await grip.boundingBox())!;
  await page.mouse.move(box.x + box.width / 2, box.y + box.height / 2);
  await page.mouse.down();
  await page.mouse.move(box.x + 600, box.y + box.height / 2, { steps: 6 });
  await page.mouse.up();
  const header = page.locator('[data-column="price"]').first();
  await expect.poll(async () => Math.round((await header.boundingBox())!.width)).toBe(480);
  const stored = await page.evaluate(() => JSON.parse(localStorage.getItem('calcora.settings') ?? '{}') as { columns: Array<{ id: string; width?: number }> });
  expect(stored.columns.find((c) => c.id === 'price')?.width).toBe(480);

  await page.getByRole('button', { name: 'Колонки…' }).click();
  const dialog = page.getByRole('dialog', { name: 'Колонки сметы' });
  await dialog.getByLabel('Заголовок колонки qty').fill('Кол-во');
  await expect(page.locator('[data-column="qty"]').first()).toHaveText('Кол-во');
  await dialog.getByLabel('Показывать колонку Тип').uncheck();
  await expect(editor.row(1).getByTestId('type-select')).toHaveCount(0);
  await dialog.getByRole('button', { name: 'Сбросить' }).click();
  await expect(page.locator('[data-column="qty"]').first()).toHaveText('Объем');
  await dialog.getByRole('button', { name: 'Готово' }).click();
  await expect(dialog).toHaveCount(0);
  await expect(editor.row(1).getByTestId('type-select')).toHaveCount(1);
});
