// Rows through the clipboard: Ctrl+C copies the current row as TSV, Ctrl+V of rows fills the
// grid from the focused cell (a block from a spreadsheet, or our own copy back).
import { test, expect } from '../fixtures';
import { EditorPage, EXAMPLE, seedEstimate, storedLines } from '../pages/editor';

// Long walks of many steps: generous limits for a busy 2-core machine.
test.describe.configure({ timeout: 120_000 });

test('Ctrl+C then Ctrl+V gives an identical line; a spreadsheet block becomes lines in one undo step', async ({ page, host, context }) => {
  await context.grantPermissions(['clipboard-read', 'clipboard-write'], { origin: host.origin });
  const id = await seedEstimate(host.invoke, 'Стены', [
    ...EXAMPLE,
    { name: 'Труба 1" "ПНД"', unit: 'м', quantity: 12.5, unit_price: 95.3, category: 'material' },
  ]);
  // The page's clock runs as usual but can be moved on at once: undo steps are told apart by
  // 400 ms between changes, and the walk moves the clock past that instead of sleeping.
  await page.clock.install();
  await page.goto(`${host.origin}/editor/${id}`);
  const editor = new EditorPage(page);
  await expect(editor.name(7)).toHaveValue('Труба 1" "ПНД"');

  await editor.qty(7).click();
  await page.keyboard.press('Control+c');
  await expect.poll(() => page.evaluate(() => navigator.clipboard.readText())).toBe('"Труба 1"" ""ПНД"""\tм\t12.5\t95.3\t\tmaterial\tfull');
  // With text selected the ordinary copy happens.
  await editor.name(1).click();
  await editor.name(1).press('Control+a');
  await page.keyboard.press('Control+c');
  await expect.poll(() => page.evaluate(() => navigator.clipboard.readText())).toBe('Кладка');

  await page.evaluate(() => navigator.clipboard.writeText('"Труба 1"" ""ПНД"""\tм\t12.5\t95.3\t\tmaterial\tfull'));
  await editor.name(8).click();
  await page.keyboard.press('Control+v');
  await expect(editor.rows).toHaveCount(10);
  await expect(editor.name(8)).toHaveValue('Труба 1" "ПНД"');
  await expect(editor.name(9)).toHaveValue('');
  await expect(editor.lineSum(8)).toHaveText('1 191,25');

  // Each paste is its own undo step.
  await page.clock.fastForward(450);
  const block = 'Песок\tм³\t2,5\t1 200\r\nГрунтовка\tл\t10\t85,50\r\nУборка\r\n';
  await page.evaluate((text) => navigator.clipboard.writeText(text), block);
  await editor.name(3).click();
  await page.keyboard.press('Control+v');
  await expect(editor.name(3)).toHaveValue('Песок');
  await expect(editor.rows).toHaveCount(10);
  await expect(editor.qty(3)).toHaveValue('2.5');
  await expect(editor.price(3)).toHaveValue('1200');
  await expect(editor.price(4)).toHaveValue('85.5');
  // A row with a name and nothing else in a wider block is a section heading.
  await expect(editor.name(5)).toHaveValue('Уборка');
  await expect(editor.name(5)).toHaveAttribute('placeholder', 'Название раздела');
  await expect(editor.qty(2)).toHaveValue('1000');

  // Plain text without tab or line break pastes into the cell as usual.
  await page.clock.fastForward(450);
  await page.evaluate(() => navigator.clipboard.writeText('Кирпич М150'));
  await editor.name(2).click();
  await editor.name(2).press('Control+a');
  await page.keyboard.press('Control+v');
  await expect(editor.name(2)).toHaveValue('Кирпич М150');
  await expect(editor.rows).toHaveCount(10);

  await page.clock.fastForward(450);
  await page.keyboard.press('Control+z');
  await expect(editor.name(2)).toHaveValue('Кирпич');
  await page.keyboard.press('Control+z');
  await expect(editor.name(3)).toHaveValue('Раствор');
  await expect(editor.name(5)).toHaveValue('Выезд');

  await expect
    .poll(async () => (await storedLines(host.invoke, id)).find((l) => l.sort_order === 8), { timeout: 30_000 })
    .toMatchObject({ name: 'Труба 1" "ПНД"', unit: 'м', quantity: 12.5, unit_price: 95.3, category: 'material', line_type: 'full' });
});
