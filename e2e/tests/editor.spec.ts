// The editor's grid driven from the keyboard: number cells, Enter moves, fill down, undo and
// redo, and every edit surviving a reload (autosave reached the database).
import { test, expect } from '../fixtures';
import { EditorPage, EXAMPLE, seedEstimate, storedLines } from '../pages/editor';

// Long walks of many steps: generous limits for a busy 2-core machine.
test.describe.configure({ timeout: 120_000 });

test('number cells take 2,5 and a leading minus, ignore letters; Enter moves on and appends; edits survive a reload', async ({ page, host }) => {
  const id = await seedEstimate(host.invoke, 'Стены', EXAMPLE);
  await page.goto(`${host.origin}/editor/${id}`);
  const editor = new EditorPage(page);
  await editor.expectNames([...EXAMPLE.map((l) => l.name), '']);

  await editor.qty(1).click();
  await editor.qty(1).press('Control+a');
  await editor.qty(1).pressSequentially('2,5');
  await expect(editor.qty(1)).toHaveValue('2.5');
  await expect(editor.lineSum(1)).toHaveText('2 250,00');

  await editor.qty(2).click();
  await editor.qty(2).press('Control+a');
  await editor.qty(2).pressSequentially('-3');
  await expect(editor.qty(2)).toHaveValue('-3');
  await editor.qty(2).pressSequentially('x');
  await expect(editor.qty(2)).toHaveValue('-3');

  // Enter in a fixed line's sum goes to the next row's name.
  await editor.sum(5).click();
  await editor.sum(5).press('Enter');
  await expect(editor.name(6)).toBeFocused();

  // Enter walks the cells of a full line; after the last price a line is appended. The name has
  // no match in the name memory: a list that opens before Enter would choose its first entry.
  await editor.name(7).fill('Уборка');
  await editor.name(7).press('Enter');
  await expect(editor.unit(7)).toBeFocused();
  await editor.unit(7).press('Escape');
  await editor.unit(7).press('Enter');
  await expect(editor.qty(7)).toBeFocused();
  await editor.qty(7).press('Enter');
  await expect(editor.price(7)).toBeFocused();
  await editor.price(7).pressSequentially('450');
  await editor.price(7).press('Enter');
  await expect(editor.rows).toHaveCount(9);
  await expect(editor.name(8)).toBeFocused();

  await expect
    .poll(async () => (await storedLines(host.invoke, id)).map((l) => [l.name, l.quantity ?? null, l.unit_price ?? null]), { timeout: 30_000 })
    .toEqual([
      ['1. Стены', null, null], ['Кладка', 2.5, 900], ['Кирпич', -3, 20], ['Раствор', 2, 4500], ['Кладка перегородок', 8, 850],
      ['Выезд', null, null], ['Кран', 1, 12000], ['Уборка', 1, 450],
    ]);
  await page.reload();
  await expect(editor.qty(1)).toHaveValue('2.5');
  await expect(editor.qty(2)).toHaveValue('-3');
  await expect(editor.price(7)).toHaveValue('450');
});

test('Ctrl+D fills down from the row above (nothing in row 0); undo and redo step through edits', async ({ page, host }) => {
  // The page's clock runs as usual but can be moved on at once: undo steps are told apart by
  // 400 ms between changes, and the walk moves the clock past that instead of sleeping.
  await page.clock.install();
  const id = await seedEstimate(host.invoke, 'Стены', EXAMPLE);
  await page.goto(`${host.origin}/editor/${id}`);
  const editor = new EditorPage(page);
  await expect(editor.name(0)).toHaveValue('1. Стены');

  await editor.name(0).click();
  await page.keyboard.press('Control+d');
  await expect(editor.name(0)).toHaveValue('1. Стены');

  await editor.qty(3).click();
  await page.keyboard.press('Control+d');
  await expect(editor.qty(3)).toHaveValue('1000');
  await expect(editor.lineSum(3)).toHaveText('4 500 000,00');

  // Three edits more than 400 ms apart are three undo steps.
  await page.clock.fastForward(450);
  await editor.price(4).click();
  await editor.price(4).press('Control+a');
  await editor.price(4).pressSequentially('900');
  await page.clock.fastForward(450);
  await editor.name(4).fill('Перегородки');
  await expect(editor.name(4)).toHaveValue('Перегородки');

  const undo = page.getByTitle('Отменить (Ctrl+Z)');
  const redo = page.getByTitle('Повторить (Ctrl+Shift+Z)');
  await expect(redo).toBeDisabled();
  await page.keyboard.press('Control+z');
  await expect(editor.name(4)).toHaveValue('Кладка перегородок');
  await expect(editor.price(4)).toHaveValue('900');
  await undo.click();
  await expect(editor.price(4)).toHaveValue('850');
  await expect(editor.qty(3)).toHaveValue('1000');
  await page.keyboard.press('Control+z');
  await expect(editor.qty(3)).toHaveValue('2');
  await expect(undo).toBeDisabled();
  await page.keyboard.press('Control+Shift+z');
  await expect(editor.qty(3)).toHaveValue('1000');
  await page.keyboard.press('Control+y');
  await expect(editor.price(4)).toHaveValue('900');
  await redo.click();
  await expect(editor.name(4)).toHaveValue('Перегородки');
  await expect(redo).toBeDisabled();

  await expect
    .poll(async () => (await storedLines(host.invoke, id)).map((l) => l.name), { timeout: 30_000 })
    .toContain('Перегородки');
  await page.reload();
  await expect(editor.name(4)).toHaveValue('Перегородки');
  await expect(editor.qty(3)).toHaveValue('1000');
});
