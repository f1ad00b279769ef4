// The settings screen: every change is written at once, shows at once and after a reload.
import { test, expect } from '../fixtures';
import { SideMenu, Templates } from '../pages/app';
import { Settings } from '../pages/screens';

test('density, theme, default template and fonts are written at once and kept after a reload', async ({ page }) => {
  const settings = new Settings(page);
  await settings.open();
  const general = await settings.category('general');
  await expect(general.getByTestId('settings-version')).toHaveText('Calcora 0.2.0');
  const menu = new SideMenu(page).root;
  const before = (await menu.boundingBox())!.width;
  await general.getByLabel('Размер интерфейса').selectOption({ label: 'Крупный' });
  await expect(page.locator('html')).toHaveClass(/ui-comfortable/);
  await expect.poll(async () => (await menu.boundingBox())!.width).toBeGreaterThan(before);
  await general.getByLabel('Тема').selectOption({ label: 'Тёмная' });
  await expect(page.locator('html')).toHaveClass(/(^|\s)dark(\s|$)/);

  const editor = await settings.category('editor');
  await editor.getByLabel('Шаблон для новых смет').selectOption({ label: 'Электрика' });
  await editor.getByLabel('Шрифт по умолчанию').selectOption('PT Serif');
  const size = editor.getByLabel('Размер шрифта');
  await size.fill('30');
  await size.blur();
  await expect(size).toHaveValue('24');
  await expect(page.locator('html')).toHaveAttribute('style', /--estimate-font-size: 24px/);
  await size.fill('15');
  await expect(page.locator('html')).toHaveAttribute('style', /--estimate-font-size: 15px/);

  const print = await settings.category('print');
  await print.getByLabel('Шрифт печати и PDF').selectOption('Georgia');
  await expect(print).toContainText('На экране печати используются системные имена.');

  const templates = new Templates(page);
  await templates.open();
  await expect(templates.card('electric').getByTestId('template-default-badge')).toBeVisible();
  await expect(page.getByTestId('template-default-badge')).toHaveCount(1);

  await page.reload();
  await expect(page.locator('html')).toHaveClass(/ui-comfortable/);
  await expect(page.locator('html')).toHaveClass(/(^|\s)dark(\s|$)/);
  await settings.open();
  await expect((await settings.category('general')).getByLabel('Размер интерфейса')).toHaveValue('comfortable');
  const editorAgain = await settings.category('editor');
  await expect(editorAgain.getByLabel('Шаблон для новых смет')).toHaveValue('electric');
  await expect(editorAgain.getByLabel('Размер шрифта')).toHaveValue('15');
  await expect(editorAgain.getByLabel('Шрифт по умолчанию')).toHaveValue('PT Serif');
  await expect((await settings.category('print')).getByLabel('Шрифт печати и PDF')).toHaveValue('Georgia');
});

test('the preset layers follow the mode and cannot be clicked', async ({ page }) => {
  const settings = new Settings(page);
  await settings.open();
  const mode = await settings.category('mode');
  const layer = (key: string) => mode.getByTestId(`settings-layer-${key}`);
  await expect(mode.getByRole('group', { name: 'Слои пресета' })).toBeVisible();
  for (const key of ['skuCost', 'calculators', 'proposal', 'governmentEngine']) await expect(layer(key)).not.toBeChecked();
  await mode.getByLabel('Режим новых смет').selectOption({ label: 'Частный' });
  await expect(layer('calculators')).toBeChecked();
  await expect(layer('governmentEngine')).not.toBeChecked();
  await layer('governmentEngine').click({ force: true });
  await mode.getByText('Калькуляторы').click();
  await expect(layer('governmentEngine')).not.toBeChecked();
  await expect(layer('calculators')).toBeChecked();
  await mode.getByLabel('Режим новых смет').selectOption({ label: 'Государственный' });
  await expect(layer('governmentEngine')).toBeChecked();
  await page.reload();
  await settings.open();
  await expect((await settings.category('mode')).getByLabel('Режим новых смет')).toHaveValue('government');
});

test('the link service key is stored masked and cleared with an empty value', async ({ page, host }) => {
  const settings = new Settings(page);
  await settings.open();
  const links = await settings.category('links');
  const state = links.getByTestId('settings-key-state');
  await expect(state).toHaveText('Ключ не задан');
  await links.getByLabel('Ключ сервиса ссылок').fill('  acct-7f3a9c21d4  ');
  await links.getByTestId('settings-key-save').click();
  await expect(links.getByTestId('settings-key-message')).toHaveText('Ключ сохранён.');
  await expect(state).toHaveText(`Текущий ключ: ${'•'.repeat(11)}21d4`);
  expect(await host.invoke('proposal_ticket_get')).toBe('acct-7f3a9c21d4');
  await expect(page.getByText('acct-7f3a9c21d4')).toHaveCount(0);
  await expect(links.getByLabel('Ключ сервиса ссылок')).toHaveValue('');

  await links.getByTestId('settings-key-save').click();
  await expect(links.getByTestId('settings-key-message')).toHaveText('Ключ удалён.');
  await expect(state).toHaveText('Ключ не задан');
  expect(await host.invoke('proposal_ticket_get')).toBeNull();
});

test('column titles changed in "Таблица" show in the editor and after a reload; "Сбросить" brings the defaults back', async ({ page, host }) => {
  const created = await host.invoke<{ estimate: { id: number } }>('create_estimate', { objectName: 'Колонки' });
  const settings = new Settings(page);
  await settings.open();
  const table = await settings.category('table');
  await expect(table).toContainText('Имена, ширина (px) и порядок. Ширину можно также тянуть за край заголовка в таблице.');
  await table.getByLabel('Заголовок колонки unit').fill('Единица');
  await table.getByRole('button', { name: 'Сбросить' }).click();
  await expect(table.getByLabel('Заголовок колонки unit')).toHaveValue('Ед.');
  await table.getByLabel('Заголовок колонки qty').fill('Кол-во');
  await page.goto(`${host.origin}/editor/${created.estimate.id}`);
  await expect(page.getByTestId('grid-head')).toContainText('Кол-во');
  await page.reload();
  await settings.open();
  await expect((await settings.category('table')).getByLabel('Заголовок колонки qty')).toHaveValue('Кол-во');
});
