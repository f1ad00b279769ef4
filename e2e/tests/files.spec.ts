// The file flows through the page's own dialogs: the four exports, opening files from the
// list and with Ctrl+O, the recent files, and backup and restore.
import { execFileSync } from 'node:child_process';
import { existsSync, mkdirSync, readFileSync, writeFileSync } from 'node:fs';
import path from 'node:path';
import { test, expect } from '../fixtures';
import { EstimateList, SideMenu } from '../pages/app';
import { ExportMenu, FileDialog, MessageBox, Settings } from '../pages/screens';
import { SAMPLE_LINES, seedEstimate } from '../seed';

interface Stored {
  estimate: { id: number; object_name: string };
  lines: Array<{ name: string; quantity: number | null; unit_price: number | null; line_type: string }>;
}

function outDir(name: string): string {
  const dir = test.info().outputPath(name);
  mkdirSync(dir, { recursive: true });
  return dir;
}

test('each export goes through the save dialog and writes a file its reader accepts', async ({ page, host }) => {
  const id = await seedEstimate(host, 'Квартира: этап 1/2', SAMPLE_LINES);
  const dir = outDir('exports');
  await page.reload();
  const list = new EstimateList(page);
  const row = list.row('Квартира: этап 1/2');
  const dialog = new FileDialog(page);
  const menu = new ExportMenu(page);

  // The menu: 240 px wide, its right edge under the button's right edge, 6 px below it.
  const button = row.getByTestId('estimate-export');
  await button.click();
  await expect(menu.root).toBeVisible();
  const [b, m] = [await button.boundingBox(), await menu.root.boundingBox()];
  expect(m!.width).toBe(240);
  expect(Math.round(m!.x + m!.width)).toBe(Math.round(b!.x + b!.width));
  expect(Math.round(m!.y - (b!.y + b!.height))).toBe(6);
  await expect(menu.root.getByRole('menuitem')).toHaveText([
    'Книга ExcelДля заказчика, с формулами', 'PDFДля печати и заказчика', 'CalcoraФайл для коллеги с приложением', 'CSV (таблица)Точки с запятой, UTF-8',
  ]);
  // A press outside closes it.
  await page.getByRole('heading', { name: 'Сметы' }).click();
  await expect(menu.root).toHaveCount(0);

  const exportAs = async (kind: 'xlsx' | 'pdf' | 'clcx' | 'csv', chosen: string) => {
    await button.click();
    await menu.choose(kind);
    // The proposed name, in the folder the save dialogs start in.
    await expect(dialog.path).toHaveValue(new RegExp(`(^|[\\\\/])Квартира этап 1 2\\.${kind}$`));
    await dialog.choose(path.join(dir, chosen));
    // A success says where the file went; the box is closed before the next export.
    const saved = new MessageBox(page);
    await expect(saved.alert).toContainText(`Сохранено: ${path.join(dir, path.parse(chosen).name)}.${kind}`);
    await saved.ok();
  };

  // "report.pdf" chosen for a workbook still writes a workbook.
  await exportAs('xlsx', 'report.pdf');
  await expect.poll(() => existsSync(path.join(dir, 'report.xlsx'))).toBe(true);
  expect(existsSync(path.join(dir, 'report.pdf'))).toBe(false);
  const fromWorkbook = await host.invoke<number>('import_estimate_xlsx', { path: path.join(dir, 'report.xlsx') });
  const reread = await host.invoke<Stored>('get_estimate', { id: fromWorkbook });
  expect(reread.lines.map((l) => l.name)).toEqual(SAMPLE_LINES.map((l) => l.name));

  await exportAs('pdf', 'offer');
  await expect.poll(() => existsSync(path.join(dir, 'offer.pdf'))).toBe(true);
  execFileSync('qpdf', ['--check', path.join(dir, 'offer.pdf')]);

  await exportAs('csv', 'table.txt');
  await expect.poll(() => existsSync(path.join(dir, 'table.csv'))).toBe(true);
  expect([...readFileSync(path.join(dir, 'table.csv')).subarray(0, 3)]).toEqual([0xef, 0xbb, 0xbf]);

  await exportAs('clcx', 'colleague');
  const clcx = path.join(dir, 'colleague.clcx');
  await expect.poll(() => existsSync(clcx)).toBe(true);
  const original = await host.invoke<Stored>('get_estimate', { id });
  const imported = await host.invoke<Stored>('import_estimate_clcx', { path: clcx });
  const shape = (s: Stored) => s.lines.map(({ name, quantity, unit_price, line_type }) => ({ name, quantity, unit_price, line_type }));
  expect(shape(imported)).toEqual(shape(original));
  expect(imported.estimate.object_name).toBe(original.estimate.object_name);

  // Only the exchange file joined the recent files.
  const recent = page.getByTestId('recent-entry');
  await expect(recent).toHaveCount(1);
  await expect(recent).toHaveAttribute('title', clcx);
  await expect(recent).toHaveAttribute('href', `/editor/${id}`);

  // A cancelled dialog writes nothing and says nothing.
  await button.click();
  await menu.choose('csv');
  await dialog.cancel();
  await expect(page.getByTestId('dialog-alert')).toHaveCount(0);

  // A failed export is reported, not swallowed.
  await button.click();
  await menu.choose('xlsx');
  await dialog.choose(path.join(dir, 'no-such-folder', 'x.xlsx'));
  const box = new MessageBox(page);
  await expect(box.alert).toContainText(`Ошибка: Папка не найдена: ${path.join(dir, 'no-such-folder', 'x.xlsx')} (`);
  await box.ok();
});

test('files open from the list and with Ctrl+O; nine exchange files keep the newest eight', async ({ page, host }) => {
  const dir = outDir('recent');
  const files: string[] = [];
  for (let n = 1; n <= 9; n++) {
    const id = await seedEstimate(host, `Объект ${n}`, [{ name: `Работа ${n}`, unit: 'м²', quantity: n, unit_price: 100 }]);
    const file = path.join(dir, `object-${n}.clcx`);
    await host.invoke('export_estimate_clcx', { id, path: file });
    files.push(file);
  }
  const workbookId = await seedEstimate(host, 'Книга', SAMPLE_LINES);
  const workbook = path.join(dir, 'book.xlsx');
  await host.invoke('export_estimate_xlsx', { id: workbookId, path: workbook });

  const list = new EstimateList(page);
  const dialog = new FileDialog(page);
  const recent = page.getByTestId('recent-entry');
  const openFromList = async (file: string) => {
    await list.open();
    await page.getByTestId('open-own-excel').click();
    await expect(page.getByTestId('dialog-open')).toContainText('Calcora (*.clcx); Excel (*.xlsx)');
    await dialog.choose(file);
    await expect(page).toHaveURL(/\/editor\/\d+$/);
  };

  for (const file of files) await openFromList(file);
  await expect(recent).toHaveCount(8);
  await expect(recent.first()).toHaveText('Объект 9');
  await expect(recent.last()).toHaveText('Объект 2');

  // Reopening a listed file moves it to the top, without a duplicate, leading to the new copy.
  await openFromList(files[2]);
  const copyId = page.url().split('/').pop();
  await expect(recent).toHaveCount(8);
  await expect(recent.first()).toHaveText('Объект 3');
  await expect(recent.first()).toHaveAttribute('href', `/editor/${copyId}`);
  await expect(recent.filter({ hasText: 'Объект 3' })).toHaveCount(1);

  // A workbook opens too, and is not remembered.
  await openFromList(workbook);
  await expect(page.getByTestId('editor-title')).toHaveValue('Книга');
  await expect(recent).toHaveCount(8);

  // Ctrl+O opens an exchange file from any screen, without a recent entry.
  await new SideMenu(page).entry('help').click();
  await page.keyboard.press('Control+o');
  await dialog.choose(files[0]);
  await expect(page.getByTestId('editor-title')).toHaveValue('Объект 1');
  await expect(recent.filter({ hasText: 'Объект 1' })).toHaveCount(0);

  // A failing import through Ctrl+O is reported.
  const broken = path.join(dir, 'broken.clcx');
  writeFileSync(broken, 'это не сжатый файл');
  await page.keyboard.press('Control+o');
  await dialog.choose(broken);
  const box = new MessageBox(page);
  await expect(box.alert).toContainText(`Ошибка: Файл повреждён или это не файл Calcora: ${broken} (`);
  await box.ok();

  // The list survives a reload, and an entry leads to its estimate.
  await page.reload();
  await expect(recent).toHaveCount(8);
  await recent.nth(1).click();
  await expect(page.getByTestId('editor-title')).toHaveValue('Объект 9');
});

test('a backup brings back a deleted estimate without a restart', async ({ page, host }) => {
  const keep = await seedEstimate(host, 'Дом на Лесной', SAMPLE_LINES);
  const dir = outDir('backup');
  const backup = path.join(dir, 'copy.db');
  const settings = new Settings(page);
  const dialog = new FileDialog(page);
  await settings.open();
  const panel = await settings.category('data');
  await expect(panel).toContainText('В копию попадают все сметы и справочник.');

  await panel.getByTestId('settings-backup').click();
  await expect(dialog.path).toHaveValue(new RegExp(`(^|[\\\\/])calcora-backup-${new Date().toISOString().slice(0, 10)}\\.db$`));
  await dialog.choose(backup);
  await expect(settings.dataMessage).toHaveText('Резервная копия сохранена.');
  expect(existsSync(backup)).toBe(true);

  // The same name again, as for every export: the dialog starts in that folder, and the copy
  // there is replaced only after a "yes".
  const box = new MessageBox(page);
  const before = readFileSync(backup);
  await panel.getByTestId('settings-backup').click();
  await expect(dialog.path).toHaveValue(path.join(dir, `calcora-backup-${new Date().toISOString().slice(0, 10)}.db`));
  await dialog.choose(backup);
  await expect(box.confirm).toContainText('Файл «copy.db» уже есть. Заменить его?');
  await box.cancel();
  await expect(settings.dataMessage).toHaveCount(0);
  expect(readFileSync(backup).equals(before)).toBe(true);
  await panel.getByTestId('settings-backup').click();
  await dialog.choose(backup);
  await box.ok();
  await expect(settings.dataMessage).toHaveText('Резервная копия сохранена.');
  await expect(page.getByTestId('settings-data-saved')).toHaveText(`Сохранено: ${backup}`);

  await host.invoke('delete_estimate', { id: keep });
  const list = new EstimateList(page);
  await list.open();
  await expect(list.empty).toBeVisible();

  await settings.open();
  await settings.category('data');
  // Declining the question changes nothing.
  await page.getByTestId('settings-restore').click();
  await dialog.choose(backup);
  await expect(box.confirm).toContainText('Заменить текущую базу этой копией? Сметы на этом компьютере станут как в файле.');
  await box.cancel();
  await expect(settings.dataMessage).toHaveCount(0);

  await page.getByTestId('settings-restore').click();
  await dialog.choose(backup);
  await box.ok();
  await expect(settings.dataMessage).toHaveText('База восстановлена.');
  await list.open();
  await expect(list.row('Дом на Лесной')).toBeVisible();

  // A file that is not a backup is refused before the question, in words that name it, and the
  // database stays as it is.
  const text = path.join(dir, 'notes.db');
  writeFileSync(text, 'просто текст');
  await settings.open();
  await settings.category('data');
  await page.getByTestId('settings-restore').click();
  await dialog.choose(text);
  await expect(settings.dataMessage).toHaveText(`Ошибка: Это не резервная копия Calcora: ${text} (это не резервная копия Calcora)`);
  await expect(box.confirm).toHaveCount(0);
  await list.open();
  await expect(list.row('Дом на Лесной')).toBeVisible();
});
