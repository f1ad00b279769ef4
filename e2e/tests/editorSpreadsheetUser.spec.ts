// The editor as a spreadsheet user meets it: a copied cell and a copied block pasted, a unit
// typed and Enter, undo inside a modal dialog, a type switch, a long name on screen and paper,
// the proposal typed then saved at once, and exports that ask before replacing a file.
import { existsSync, mkdtempSync, readFileSync, writeFileSync } from 'node:fs';
import { tmpdir } from 'node:os';
import path from 'node:path';
import type { Page } from '@playwright/test';
import { test, expect } from '../fixtures';
import { EditorPage, EXAMPLE, seedEstimate, storedLines } from '../pages/editor';
import { ProposalPanel, seedProposalEstimate } from '../pages/proposal';

/** Pastes `text` into the focused field as a spreadsheet's clipboard would hand it over. */
function pasteIntoFocused(page: Page, text: string): Promise<void> {
  return page.evaluate((t) => {
    const data = new DataTransfer();
    data.setData('text/plain', t);
    document.activeElement!.dispatchEvent(new ClipboardEvent('paste', { clipboardData: data, bubbles: true, cancelable: true }));
  }, text);
}

test.describe.configure({ timeout: 120_000 });

test('one copied spreadsheet cell goes into the price; a 3 × 4 block fills from the focused cell and into the empty last row', async ({ page, host }) => {
  const id = await seedEstimate(host.invoke, 'Санузел', EXAMPLE);
  // Undo steps are told apart by 400 ms between changes: the walk moves the page's clock on.
  await page.clock.install();
  await page.goto(`${host.origin}/editor/${id}`);
  const editor = new EditorPage(page);
  await expect(editor.rows).toHaveCount(8);
  const paste = (text: string) => pasteIntoFocused(page, text);

  await editor.price(1).click();
  await paste('1500\r\n');
  await expect(editor.price(1)).toHaveValue('1500');
  await expect(editor.rows).toHaveCount(8);
  await expect(editor.lineSum(1)).toHaveText('30 000,00');
  await page.clock.fastForward(450);

  const block = 'Песок\tм³\t2,5\t1 200\r\nГрунтовка\tл\t10\t85,50\r\nУборка\tкомпл\t1\t3000\r\n';
  await editor.name(2).click();
  await paste(block);
  await expect.poll(() => editor.nameValues()).toEqual(['1. Стены', 'Кладка', 'Песок', 'Грунтовка', 'Уборка', 'Выезд', 'Кран', '']);
  await expect(editor.price(3)).toHaveValue('85.5');
  await expect(editor.unit(4)).toHaveValue('компл');
  await page.clock.fastForward(450);

  await editor.name(7).click();
  await paste(block);
  await expect.poll(() => editor.nameValues()).toEqual(['1. Стены', 'Кладка', 'Песок', 'Грунтовка', 'Уборка', 'Выезд', 'Кран', 'Песок', 'Грунтовка', 'Уборка', '']);
  await expect(editor.qty(7)).toHaveValue('2.5');

  // The whole block is one undo step.
  await page.clock.fastForward(450);
  await page.keyboard.press('Control+z');
  await expect(editor.rows).toHaveCount(8);
  await expect.poll(() => editor.nameValues()).toEqual(['1. Стены', 'Кладка', 'Песок', 'Грунтовка', 'Уборка', 'Выезд', 'Кран', '']);
  await expect(editor.price(1)).toHaveValue('1500');
  // The copied price never became a line, nor a name in the memory.
  expect(await host.invoke<unknown[]>('search_memory', { query: '1500' })).toEqual([]);
});

test('figures beyond a trillion, pasted, leave their cells as they were and say why', async ({ page, host }) => {
  const id = await seedEstimate(host.invoke, 'Санузел', EXAMPLE);
  await page.goto(`${host.origin}/editor/${id}`);
  const editor = new EditorPage(page);
  const paste = (text: string) => pasteIntoFocused(page, text);
  await editor.qty(1).click();
  await paste('5\t99999999999999999999\r\n7\t25\r\n');
  await expect(editor.qty(2)).toHaveValue('7');
  await expect(editor.price(1)).toHaveValue('900');
  await expect(editor.error).toHaveText('Числа больше 1 000 000 000 000 по модулю не вставлены (ячеек: 1), в этих ячейках прежние значения.');
  await editor.price(2).click();
  await paste('99999999999999999999\r\n');
  await expect(editor.row(2).getByRole('alert')).toHaveText('Не больше 1 000 000 000 000');
  await expect(editor.price(2)).toHaveValue('25');
});

test('"м2" and Enter in a unit cell keeps м²; Ctrl+Z in the item dialog undoes its own typing; a type switch keeps the sum', async ({ page, host }) => {
  const id = await seedEstimate(host.invoke, 'Санузел', [
    { name: 'Плитка', unit: 'шт', quantity: 3, unit_price: 900 },
    { name: 'Монтаж ванны', unit: 'шт', quantity: 1, unit_price: 2500 },
  ]);
  await page.goto(`${host.origin}/editor/${id}`);
  const editor = new EditorPage(page);
  await editor.unit(0).click();
  await editor.unit(0).fill('м2');
  await editor.unit(0).press('Enter');
  await expect(editor.unit(0)).toHaveValue('м²');
  await expect(editor.qty(0)).toBeFocused();
  await editor.unit(1).click();
  await editor.unit(1).fill('компл');
  await editor.unit(1).press('Enter');
  await expect(editor.unit(1)).toHaveValue('компл');

  // Full 1 × 2 500 → fixed sum 2 500 → full 1 × 2 500.
  await editor.row(1).getByTestId('type-select').selectOption('fixed');
  await expect(editor.sum(1)).toHaveValue('2500');
  await expect(editor.lineSum(0)).toHaveText('2 700,00');
  await editor.row(1).getByTestId('type-select').selectOption('full');
  await expect(editor.qty(1)).toHaveValue('1');
  await expect(editor.price(1)).toHaveValue('2500');

  // The catalog item dialog owns the keyboard.
  await expect
    .poll(async () => (await storedLines(host.invoke, id)).map((l, i) => (i === 0 ? l.catalog_item_id != null : l.line_type)), { timeout: 30_000 })
    .toEqual([true, 'full']);
  await page.reload();
  // An edit in the grid, then the dialog: keys inside it must leave the grid alone.
  await editor.qty(1).fill('4');
  await editor.row(0).getByTestId('edit-item').click();
  const name = page.getByTestId('item-name');
  await expect(name).toBeFocused();
  await expect(page.getByRole('dialog').locator('label')).toHaveText(['Наименование', 'Ед.изм.', 'Тип', 'Категория', 'Цена по умолчанию']);
  await name.press('End');
  await name.pressSequentially(' 30×60');
  await expect(name).toHaveValue('Плитка 30×60');
  await name.press('Control+z');
  await expect(name).not.toHaveValue('Плитка 30×60');
  await name.press('Control+d');
  await name.press('Control+b');
  await page.getByTestId('item-cancel').click();
  await expect(editor.name(0)).toHaveValue('Плитка');
  await expect(editor.qty(1)).toHaveValue('4');
  await expect(editor.rows).toHaveCount(3);
  await expect(editor.row(1).locator('.name-wrap')).not.toHaveCSS('font-weight', '700');
});

test('after a click on a toolbar button the arrows and F2 act on the grid; Enter and Space still press the button', async ({ page, host }) => {
  const id = await seedEstimate(host.invoke, 'Санузел', EXAMPLE);
  await page.goto(`${host.origin}/editor/${id}`);
  const editor = new EditorPage(page);
  await editor.qty(1).click();
  const center = page.getByTitle('По центру');
  await center.click();
  await expect(center).toBeFocused();
  await page.keyboard.press('ArrowDown');
  await expect(editor.qty(2)).toBeFocused();
  await page.getByTitle('По правому краю').click();
  await page.keyboard.press('F2');
  await expect(editor.qty(2)).toBeFocused();
  // A filter moves the grid to its first row; the arrow goes to the next row in sight.
  await page.getByRole('button', { name: 'Материалы' }).click();
  await page.keyboard.press('ArrowDown');
  await expect(editor.name(2)).toBeFocused();
  await page.getByRole('button', { name: 'Все' }).click();

  await editor.qty(1).click();
  const bold = page.getByTitle('Жирный (Ctrl+B)');
  await bold.focus();
  await page.keyboard.press('Enter');
  await expect(bold).toBeFocused();
  await expect(editor.row(1).locator('.name-wrap')).toHaveCSS('font-weight', '700');
  await page.keyboard.press('Space');
  await expect(bold).toBeFocused();
  await expect(editor.row(1).locator('.name-wrap')).not.toHaveCSS('font-weight', '700');
});

const LONG_NAME = 'Демонтаж керамической плитки со стен и пола санузла с очисткой поверхности и выносом строительного мусора';

for (const theme of ['light', 'dark'] as const) {
  test(`a 100-character name is wholly shown in the grid and on paper (${theme})`, async ({ page, host }) => {
    const id = await seedEstimate(host.invoke, 'Санузел', [
      { name: LONG_NAME, unit: 'м²', quantity: 21.28, unit_price: 350 },
      { name: 'Выезд', line_type: 'fixed', unit: null, fixed_total: 6500 },
    ]);
    await page.goto(`${host.origin}/`);
    await page.evaluate((t) => localStorage.setItem('calcora.settings', JSON.stringify({ theme: t })), theme);
    await page.goto(`${host.origin}/editor/${id}`);
    const editor = new EditorPage(page);
    const cell = editor.row(0).locator('.name-wrap');
    await expect(cell).toHaveAttribute('data-text', LONG_NAME);
    // The wrapped text sizes the row: taller than a one-line row, and nothing of it is cut.
    const [one, wrapped] = await Promise.all([editor.row(1).boundingBox(), editor.row(0).boundingBox()]);
    expect(wrapped!.height).toBeGreaterThan(one!.height * 1.5);
    expect(await cell.evaluate((el) => el.scrollWidth <= el.clientWidth + 1)).toBe(true);

    await editor.qty(0).click();
    await page.emulateMedia({ media: 'print' });
    const dir = mkdtempSync(path.join(tmpdir(), 'calcora-print-'));
    const pdf = path.join(dir, 'page.pdf');
    writeFileSync(pdf, await page.pdf({ format: 'A4' }));
    const { execFileSync } = await import('node:child_process');
    const text = execFileSync('pdftotext', ['-raw', pdf, '-']).toString().replace(/\s+/g, ' ');
    expect(text).toContain(LONG_NAME);
    expect(text).toContain('21.28');
    expect(text).toContain('6 500,00');
    // Paper is light: the page's corner is white.
    execFileSync('pdftoppm', ['-png', '-r', '40', '-f', '1', '-l', '1', pdf, path.join(dir, 'p')]);
    const corner = execFileSync('convert', [path.join(dir, 'p-1.png'), '-crop', '1x1+3+3', 'txt:-']).toString();
    expect(corner).toContain('#FFFFFF');
  });
}

test('the proposal title typed then Ctrl+S at once is saved; its total is the grand total with delivery and markup', async ({ page, host }) => {
  const id = await seedProposalEstimate(host, 'Санузел', [
    { name: 'Плитка', unit: 'м²', quantity: 10, unit_price: 24202.5 },
  ]);
  const stored = await host.invoke<{ estimate: object; lines: object[]; footer: Record<string, unknown> }>('get_estimate', { id });
  stored.footer = { ...stored.footer, show_delivery: true, delivery: 3500, markup_formula: 'работы * 0.1' };
  await host.invoke('save_estimate', { payload: stored });
  const kp = new ProposalPanel(page);
  await kp.open(host, id);
  await kp.title.fill('КП на санузел');
  await page.keyboard.press('Control+s');
  await expect
    .poll(async () => (await host.invoke<{ estimate: { kp_json: string | null } }>('get_estimate', { id })).estimate.kp_json ?? '', { timeout: 30_000 })
    .toContain('"title":"КП на санузел"');

  await kp.button('Добавить этап').click();
  await kp.stages.last().getByLabel('Сумма, ₽', { exact: true }).fill('270000');
  await expect(page.getByTestId('proposal-stages-warning')).toHaveText('Этапы оплаты в сумме 270 000 ₽, а итог сметы — 269 727,5 ₽.');

  const dir = mkdtempSync(path.join(tmpdir(), 'calcora-kp-'));
  await kp.button('Сохранить HTML').click();
  await page.getByTestId('dialog-path').fill(path.join(dir, 'КП'));
  await page.getByTestId('dialog-ok').click();
  await expect(page.getByTestId('proposal-notice')).toHaveText(`Сохранено: ${path.join(dir, 'КП.html')}`);
  const html = readFileSync(path.join(dir, 'КП.html'), 'utf8');
  expect(html).toContain('<p>Работы: 242 025 ₽</p><p>Доставка: 3 500 ₽</p><p>Наценка: 24 202,5 ₽</p>');
  expect(html.endsWith('<p>Итого: 269 727,5 ₽</p></body></html>')).toBe(true);
});

test('an export onto an existing file asks first, "no" keeps it; a success says where the file went', async ({ page, host }) => {
  const id = await seedEstimate(host.invoke, 'Смета', EXAMPLE);
  const dir = mkdtempSync(path.join(tmpdir(), 'calcora-export-'));
  const target = path.join(dir, 'Смета.xlsx');
  writeFileSync(target, 'keep me');
  await page.goto(`${host.origin}/editor/${id}`);
  const exportAs = async (typed: string) => {
    await page.getByTestId('export-button').click();
    await page.getByRole('menuitem', { name: /Книга Excel/ }).click();
    await page.getByTestId('dialog-path').fill(typed);
    await page.getByTestId('dialog-ok').click();
  };
  // "Смета" becomes Смета.xlsx, which is there: the question comes, and "no" leaves the file.
  await exportAs(path.join(dir, 'Смета'));
  await expect(page.getByTestId('dialog-confirm')).toContainText('Файл «Смета.xlsx» уже есть. Заменить его?');
  await page.getByTestId('dialog-cancel').click();
  await expect(page.getByTestId('dialog-confirm')).toHaveCount(0);
  expect(readFileSync(target, 'utf8')).toBe('keep me');
  await expect(page.getByTestId('editor-notice')).toHaveCount(0);

  await exportAs(path.join(dir, 'Новая'));
  await expect(page.getByTestId('editor-notice')).toHaveText(`Сохранено: ${path.join(dir, 'Новая.xlsx')}`);
  expect(existsSync(path.join(dir, 'Новая.xlsx'))).toBe(true);
  // The next save dialog starts in that folder.
  await page.getByTestId('export-button').click();
  await page.getByRole('menuitem', { name: /CSV/ }).click();
  await expect(page.getByTestId('dialog-path')).toHaveValue(path.join(dir, 'Смета.csv'));
  await page.getByTestId('dialog-cancel').click();
});
