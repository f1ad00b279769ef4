// Name suggestions and the catalog item dialog against the standard catalog: the list after
// the second letter, a fixed item on a quantity-5 line, the inline completion taken by Tab,
// typing over a linked name, and the dialog that edits the item in place.
import { test } from '../fixtures';
import { expect } from './panels-support';
import { EditorPage, seedEstimate, storedLines } from '../pages/editor';

test.describe.configure({ timeout: 120_000 });

type Item = { id: number; name: string; default_price: number | null; line_type: string; unit: string | null };

async function itemNamed(invoke: <T>(c: string, a?: object) => Promise<T>, name: string): Promise<Item> {
  const found = await invoke<Item[]>('list_catalog', { query: name });
  return found.find((i) => i.name === name)!;
}

test('one letter shows nothing, the second shows the list after the pause; a fixed item turns a quantity-5 line into a fixed sum', async ({ page, host }) => {
  const id = await seedEstimate(host.invoke, 'Подсказки', [{ name: 'Черновик', unit: 'м²', quantity: 5, unit_price: 100 }]);
  const queries: string[] = [];
  page.on('request', (r) => {
    if (r.url().endsWith('/api/invoke/search_memory')) queries.push((JSON.parse(r.postData() ?? '{}') as { query: string }).query);
  });
  await page.goto(`${host.origin}/editor/${id}`);
  const editor = new EditorPage(page);
  const name = editor.name(0);
  await name.fill('');
  // When did the last letter arrive, and when did the list first appear.
  await page.evaluate(() => {
    const w = window as unknown as Record<string, number>;
    w.calcoraListShown = 0;
    document.addEventListener('input', () => (w.calcoraLastKey = performance.now()), true);
    new MutationObserver(() => {
      if (!w.calcoraListShown && document.querySelector('[data-testid="suggestions"]')) w.calcoraListShown = performance.now();
    }).observe(document.body, { childList: true, subtree: true });
  });
  await name.pressSequentially('В');
  await name.pressSequentially('ы');
  const list = page.getByTestId('suggestions');
  await expect(list).toBeVisible();
  expect(queries).toEqual(['Вы']);
  const times = await page.evaluate(() => {
    const w = window as unknown as Record<string, number>;
    return [w.calcoraLastKey, w.calcoraListShown];
  });
  expect(times[1] - times[0], `key at ${times[0]}, list at ${times[1]}`).toBeGreaterThanOrEqual(199);

  const entry = list.getByTestId('suggestion').filter({ hasText: 'Выезд специалиста' });
  await expect(entry).toContainText('Фикс. сумма');
  await entry.click();
  await expect(list).toHaveCount(0);
  const check = async () => {
    await expect(editor.name(0)).toHaveValue('Выезд специалиста');
    await expect(editor.row(0).getByTestId('type-select')).toHaveValue('fixed');
    await expect(editor.sum(0)).toHaveValue('1500');
    await expect(editor.unit(0)).toHaveCount(0);
    await expect(editor.qty(0)).toHaveCount(0);
    await expect(editor.row(0).getByTestId('edit-item')).toBeVisible();
  };
  await check();
  const item = await itemNamed(host.invoke, 'Выезд специалиста');
  await expect.poll(async () => (await storedLines(host.invoke, id))[0]).toMatchObject({ line_type: 'fixed', fixed_total: 1500, catalog_item_id: item.id });
  const stored = (await storedLines(host.invoke, id))[0];
  expect(stored.quantity ?? null).toBeNull();
  expect(stored.unit ?? null).toBeNull();
  await page.reload();
  await check();
});

test('Tab takes the inline completion; typing over a linked name removes the link and its pencil', async ({ page, host }) => {
  const id = await seedEstimate(host.invoke, 'Дополнение', [{ name: 'Черновик', quantity: 5, unit_price: 100 }]);
  await page.goto(`${host.origin}/editor/${id}`);
  const editor = new EditorPage(page);
  const name = editor.name(0);
  await name.fill('');
  await name.pressSequentially('Кладка кирп');
  await expect(page.getByTestId('suggestions')).toBeVisible();
  await name.press('Escape');
  await expect(page.getByTestId('suggestions')).toHaveCount(0);
  await expect(editor.row(0).getByTestId('name-completion')).toContainText('ича');
  await name.press('Tab');
  await expect(name).toHaveValue('Кладка кирпича');
  await expect(name).toBeFocused();
  const brickwork = await itemNamed(host.invoke, 'Кладка кирпича');
  await expect(editor.price(0)).toHaveValue(String(brickwork.default_price));
  await expect(editor.qty(0)).toHaveValue('1');
  await expect(editor.row(0).getByTestId('edit-item')).toBeVisible();
  await expect.poll(async () => (await storedLines(host.invoke, id))[0]).toMatchObject({ name: 'Кладка кирпича', catalog_item_id: brickwork.id });
  await page.reload();
  await expect(editor.name(0)).toHaveValue('Кладка кирпича');
  await expect(editor.row(0).getByTestId('edit-item')).toBeVisible();

  // One keystroke over the linked name: the pencil goes in the same frame (before any save).
  await editor.name(0).click();
  await editor.name(0).press('End');
  const pencilAfterKey = await editor.name(0).evaluate((input: HTMLInputElement) => {
    input.dispatchEvent(new InputEvent('beforeinput', { data: 'а', inputType: 'insertText', bubbles: true }));
    Object.getOwnPropertyDescriptor(HTMLInputElement.prototype, 'value')!.set!.call(input, input.value + 'а');
    input.dispatchEvent(new Event('input', { bubbles: true }));
    return input.closest('[data-testid="grid-row"]')!.querySelector('[data-testid="edit-item"]') !== null;
  });
  expect(pencilAfterKey).toBe(false);
  // The typed name is no longer that item: the link goes, and the old item is untouched.
  await expect.poll(async () => (await storedLines(host.invoke, id))[0].name).toBe('Кладка кирпичаа');
  const relinked = (await storedLines(host.invoke, id))[0].catalog_item_id;
  expect(relinked).not.toBe(brickwork.id);
  expect((await itemNamed(host.invoke, 'Кладка кирпича')).default_price).toBe(brickwork.default_price);
  await page.reload();
  await expect(editor.name(0)).toHaveValue('Кладка кирпичаа');
});

test('the item dialog edits the catalog and the line follows; a blank name saves nothing; a failed save says why; a deleted item is reported', async ({ page, host }) => {
  const id = await seedEstimate(host.invoke, 'Справочник', [{ name: 'Черновик', quantity: 5, unit_price: 100 }]);
  await page.goto(`${host.origin}/editor/${id}`);
  const editor = new EditorPage(page);
  await editor.name(0).fill('');
  await editor.name(0).pressSequentially('Кладка кирп');
  await page.getByTestId('suggestion').filter({ hasText: 'Кладка кирпича' }).click();
  await editor.qty(0).fill('5');
  await expect(editor.qty(0)).toHaveValue('5');

  await editor.row(0).getByTestId('edit-item').click();
  const dialog = page.getByRole('dialog');
  await expect(dialog.getByLabel('Наименование')).toBeFocused();
  await expect(dialog.getByRole('heading')).toHaveText('Позиция справочника');
  await dialog.getByLabel('Наименование').fill('  ');
  await dialog.getByRole('button', { name: 'Сохранить' }).click();
  await expect(dialog).toBeVisible();
  await dialog.getByLabel('Наименование').fill('Кладка кирпича облицовочного');
  await dialog.getByLabel('Цена по умолчанию').fill('5200');
  await dialog.getByLabel('Категория').selectOption('Работа');

  // A failed save keeps the dialog open and says why.
  await page.route('**/api/invoke/save_catalog_item', (route) => route.fulfill({ status: 500, contentType: 'text/plain', body: 'database is locked' }));
  await dialog.getByRole('button', { name: 'Сохранить' }).click();
  await expect(dialog.getByRole('alert')).toHaveText('Не удалось сохранить: database is locked');
  await expect(dialog.getByLabel('Наименование')).toHaveValue('Кладка кирпича облицовочного');
  await page.unroute('**/api/invoke/save_catalog_item');

  await dialog.getByRole('button', { name: 'Сохранить' }).click();
  await expect(dialog).toHaveCount(0);
  await expect(editor.name(0)).toHaveValue('Кладка кирпича облицовочного');
  await expect(editor.price(0)).toHaveValue('5200');
  await expect(editor.qty(0)).toHaveValue('1');
  const item = await itemNamed(host.invoke, 'Кладка кирпича облицовочного');
  expect(item.default_price).toBe(5200);
  await expect.poll(async () => (await storedLines(host.invoke, id))[0]).toMatchObject({ unit_price: 5200, quantity: 1, catalog_item_id: item.id });
  await page.reload();
  await expect(editor.price(0)).toHaveValue('5200');

  // The item deleted behind the editor's back: the dialog says so and closes; the stale link
  // goes (the next save registers the name again as an item of its own).
  await host.invoke('delete_catalog_item', { id: item.id });
  await editor.row(0).getByTestId('edit-item').click();
  await expect(page.getByTestId('dialog-alert')).toContainText('Позиция удалена из справочника.');
  await page.getByTestId('dialog-ok').click();
  await expect(page.getByTestId('item-dialog')).toHaveCount(0);
  await expect.poll(async () => (await storedLines(host.invoke, id))[0].catalog_item_id).not.toBe(item.id);
});
