// The catalog screen: filters and count, the edit form, deletion, topping up from the
// standard catalog, and importing a workbook made by LibreOffice.
import { execFileSync } from 'node:child_process';
import { existsSync, mkdirSync, writeFileSync } from 'node:fs';
import path from 'node:path';
import { test, expect } from '../fixtures';
import { Catalog, FileDialog, MessageBox } from '../pages/screens';

interface Item {
  id: number;
  name: string;
  unit: string | null;
  default_price: number | null;
  line_type: string;
  category: string;
}

const item = (name: string, line_type: string, category: string, default_price: number | null = null) => ({
  item: { id: null, name, unit: 'маш-час', default_price, line_type, category },
});

test('type and category filters count in the page; the form adds, changes and deletes items', async ({ page, host }) => {
  test.setTimeout(90_000);
  await host.invoke('save_catalog_item', item('Аренда крана', 'quantity_only', 'equipment'));
  await host.invoke('save_catalog_item', item('Аренда вышки', 'quantity_only', 'equipment'));
  await host.invoke('save_catalog_item', item('Доставка бетона', 'fixed', 'equipment', 9000));
  const all = await host.invoke<Item[]>('list_catalog', { query: null });
  const expected = all.filter((i) => i.line_type === 'quantity_only' && i.category === 'equipment').length;

  const catalog = new Catalog(page);
  await catalog.open();
  await expect(catalog.count).toHaveText(`${all.length} поз.`);
  await catalog.typeFilter.selectOption({ label: 'Без цены' });
  await catalog.categoryFilter.selectOption({ label: 'Техника' });
  await expect(catalog.count).toHaveText(`${expected} / ${all.length} поз.`);
  await expect(catalog.rows).toHaveCount(expected);
  await expect(catalog.row('Аренда крана').locator('td').nth(2)).toHaveText('—');
  await expect(catalog.row('Аренда крана').locator('td').nth(3)).toHaveText('Без цены');

  // Search goes to the native side (matching inside the name, any letter case).
  await catalog.typeFilter.selectOption({ label: 'Все типы' });
  const rented = (await host.invoke<Item[]>('list_catalog', { query: 'аренда' })).length;
  await catalog.search.fill('АРЕНДА ');
  await expect(catalog.count).toHaveText(`${rented} поз.`);
  await expect(catalog.row('Аренда крана')).toBeVisible();
  await catalog.search.fill('ничего такого нет');
  await expect(page.getByTestId('catalog-empty')).toHaveText('Ничего не найдено');
  await catalog.search.fill('');
  await catalog.categoryFilter.selectOption({ label: 'Все категории' });

  // A new item: blank name does nothing; the unit is normalised; "Сумма" for a fixed sum.
  await catalog.button('add').click();
  const form = catalog.form;
  await expect(form.getByTestId('unit-field')).toHaveValue('шт');
  await form.getByTestId('catalog-form-save').click();
  await expect(form).toBeVisible();
  await form.getByLabel('Наименование').fill('Грунтовка глубокая');
  await form.getByTestId('unit-field').fill('Кв.М.');
  await form.getByTestId('catalog-form-type').selectOption({ label: 'Фикс. сумма' });
  await expect(form.getByText('Сумма', { exact: true })).toBeVisible();
  await form.getByTestId('catalog-form-type').selectOption({ label: 'Полная' });
  await form.getByTestId('catalog-form-category').selectOption({ label: 'Материал' });
  await form.getByLabel('Цена').fill('125,5');
  await form.getByTestId('catalog-form-save').click();
  await expect(form).toHaveCount(0);
  const row = catalog.row('Грунтовка глубокая');
  await expect(row.locator('td')).toHaveText(['Грунтовка глубокая', 'м²', '125.5', 'Полная', '0', 'ИзменитьУдалить']);

  // A change keeps the item; a price that is not a number is said, not saved.
  await row.getByTestId('catalog-edit').click();
  await form.getByLabel('Цена').fill('дорого');
  await form.getByTestId('catalog-form-save').click();
  await expect(catalog.message).toHaveText('Цена должна быть числом');
  await form.getByLabel('Цена').fill('130');
  await form.getByTestId('catalog-form-save').click();
  await expect(row.getByTestId('catalog-price')).toHaveText('130');
  const stored = (await host.invoke<Item[]>('list_catalog', { query: 'Грунтовка глубокая' }))[0];
  expect(stored).toMatchObject({ unit: 'м²', default_price: 130, category: 'material', line_type: 'full' });

  // A refused save (an article number another item took meanwhile) is shown; the form keeps what was typed.
  await host.invoke('save_catalog_item', { item: { ...stored, sku: 'S-1' } });
  await page.reload();
  // The whole catalog is drawn in a window: search brings the item into it.
  await catalog.search.fill('грунтовка глубокая');
  await catalog.row('Грунтовка глубокая').getByTestId('catalog-edit').click();
  await host.invoke('save_catalog_item', { item: { ...stored, sku: null } });
  await host.invoke('save_catalog_item', { item: { ...stored, id: null, name: 'Другая грунтовка', sku: 'S-1' } });
  await form.getByLabel('Наименование').fill('Грунтовка глубокая, 10 л');
  await form.getByTestId('catalog-form-save').click();
  await expect(catalog.message).toContainText('Ошибка: ');
  await expect(form.getByLabel('Наименование')).toHaveValue('Грунтовка глубокая, 10 л');
  await form.getByTestId('catalog-form-cancel').click();

  // Deletion asks first and closes the form that showed the item.
  await catalog.row('Грунтовка глубокая').getByTestId('catalog-edit').click();
  await expect(form).toBeVisible();
  const box = new MessageBox(page);
  await catalog.row('Грунтовка глубокая').getByTestId('catalog-delete').click();
  await expect(box.confirm).toContainText('Удалить позицию?');
  await box.cancel();
  await expect(catalog.row('Грунтовка глубокая')).toHaveCount(1);
  await catalog.row('Грунтовка глубокая').getByTestId('catalog-delete').click();
  await box.ok();
  await expect(catalog.row('Грунтовка глубокая')).toHaveCount(0);
  await expect(form).toHaveCount(0);
});

test('topping up from the standard catalog says what it added, then that nothing is missing', async ({ page, host }) => {
  const all = await host.invoke<Item[]>('list_catalog', { query: null });
  const removed = all.slice(0, 3);
  for (const i of removed) await host.invoke('delete_catalog_item', { id: i.id });

  const catalog = new Catalog(page);
  await catalog.open();
  await expect(catalog.count).toHaveText(`${all.length - 3} поз.`);
  const box = new MessageBox(page);
  await catalog.button('merge').click();
  await expect(box.confirm).toContainText('Добавить недостающие позиции из стандартного справочника? Существующие имена и цены не изменятся.');
  await box.ok();
  await expect(box.alert).toContainText('Добавлено позиций: 3');
  await box.ok();
  await expect(catalog.count).toHaveText(`${all.length} поз.`);

  await catalog.button('merge').click();
  await box.ok();
  await expect(box.alert).toContainText('Все стандартные позиции уже есть');
  await box.ok();
});

test('a price list saved by LibreOffice imports with its counts; the catalog exports to a workbook', async ({ page, host }) => {
  test.setTimeout(150_000);
  const dir = test.info().outputPath('import');
  mkdirSync(dir, { recursive: true });
  const csv = path.join(dir, 'price.csv');
  writeFileSync(csv, 'Артикул;Наименование;Ед;Цена\nP-1;Профиль направляющий;шт;210\nP-2;;шт;5\nP-3;Саморез 3,5x25;упак;340,5\n');
  execFileSync('soffice', [
    `-env:UserInstallation=file://${dir}/lo-profile`, '--headless', '--infilter=CSV:59,34,76,1,,1049',
    '--convert-to', 'xlsx:Calc MS Excel 2007 XML', '--outdir', dir, csv,
  ], { stdio: 'ignore', timeout: 120_000 });
  const workbook = path.join(dir, 'price.xlsx');
  expect(existsSync(workbook)).toBe(true);

  const catalog = new Catalog(page);
  await catalog.open();
  const dialog = new FileDialog(page);
  await catalog.button('import').click();
  await expect(page.getByTestId('dialog-open')).toContainText('Excel и CSV (*.xlsx, *.csv)');
  await dialog.choose(workbook);
  await expect(catalog.message).toHaveText('загружено 2, пропущено 1');
  await catalog.search.fill('саморез');
  await expect(catalog.row('Саморез 3,5x25').getByTestId('catalog-price')).toHaveText('340.5');

  // A file that cannot be read is reported in the message line.
  await catalog.button('import').click();
  await dialog.choose(path.join(dir, 'missing.xlsx'));
  await expect(catalog.message).toContainText('Ошибка: ');

  await catalog.button('export').click();
  await expect(dialog.path).toHaveValue(/(^|[\\/])справочник\.xlsx$/);
  await dialog.choose(path.join(dir, 'справочник'));
  await expect.poll(() => existsSync(path.join(dir, 'справочник.xlsx'))).toBe(true);
  // A success says where the file went.
  await expect(catalog.message).toContainText('Сохранено: ');
});
