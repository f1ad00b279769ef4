// The totals panel driven as a user would: markup formulas that fail or divide by zero, the
// materials add-on, an advance above the total, Russian names in the field, extras with a
// preset, one undo step per footer edit; every figure checked again after a reload.
import { test } from '../fixtures';
import { seedEstimate, type SeedLine } from '../pages/editor';
import { expect, moneyValue, storeFooter, TotalsPanel } from './panels-support';

test.describe.configure({ timeout: 120_000 });

const LINES: SeedLine[] = [
  { name: 'Кладка', unit: 'м²', quantity: 20, unit_price: 900 },
  { name: 'Кирпич', unit: 'шт', quantity: 1000, unit_price: 20, category: 'material' },
  { name: 'Кран', unit: 'смена', quantity: 1, unit_price: 12000, category: 'equipment' },
];
// Works 18 000, materials 20 000, machinery 12 000.

test('a markup formula with a syntax error shows the error line and counts 0; dividing by zero shows 0 without error', async ({ page, host }) => {
  const id = await seedEstimate(host.invoke, 'Наценка', LINES);
  await page.goto(`${host.origin}/editor/${id}`);
  const totals = new TotalsPanel(page);
  await expect(totals.figure('grand')).toHaveText('50 000');

  await totals.markupField.fill('работы *');
  await expect(totals.markupError).toHaveText(/^Ошибка формулы: .+/);
  await expect(totals.figure('markup')).toHaveCount(0);
  await expect(totals.figure('grand')).toHaveText('50 000');
  await page.reload();
  await expect(totals.markupField).toHaveValue('работы *');
  await expect(totals.markupError).toHaveText(/^Ошибка формулы: .+/);
  await expect(totals.figure('grand')).toHaveText('50 000');

  await totals.markupField.fill('работы / 0');
  await expect(totals.figure('markup')).toHaveText('0');
  await expect(totals.markupError).toHaveCount(0);
  await expect(totals.figure('grand')).toHaveText('50 000');
  await page.reload();
  await expect(totals.figure('markup')).toHaveText('0');
  await expect(totals.markupError).toHaveCount(0);

  await totals.markupField.fill('(работы + доп) * 0.1');
  await expect(totals.figure('markup')).toHaveText('1 800');
  await expect(totals.figure('grand')).toHaveText('51 800');
});

test('materials add-on shows inside "Материалы"; an advance above the total leaves a negative remainder; undo takes one edit back', async ({ page, host }) => {
  const id = await seedEstimate(host.invoke, 'Аванс', LINES);
  await page.goto(`${host.origin}/editor/${id}`);
  const totals = new TotalsPanel(page);

  await totals.check('Добавка к материалам').check();
  await totals.amount('materials').fill('500');
  await expect(totals.figure('materials')).toHaveText('20 500');
  await expect(totals.root.getByText('Добавка к материалам', { exact: true })).toHaveCount(1);
  await expect(totals.figure('grand')).toHaveText('50 500');

  await totals.check('Аванс').check();
  await totals.amount('advance').fill('60000');
  await expect(totals.figure('balance')).toHaveText('-9 500');

  // Extras: a preset and "+", one switched off.
  await totals.root.getByTitle('Пресет').selectOption('Подъём');
  await expect(totals.root.getByTitle('Пресет')).toHaveValue('');
  await totals.root.getByTestId('extra-amount').first().fill('1000');
  await totals.root.getByTestId('extras-add').click();
  await totals.root.getByTestId('extra-amount').nth(1).fill('700');
  await expect(totals.figure('grand')).toHaveText('52 200');
  await totals.root.getByTestId('extra-enabled').nth(1).uncheck();
  await expect(totals.figure('grand')).toHaveText('51 500');

  // The autosave has stored the last change once the stored extras show the row switched off.
  await expect.poll(async () => (await host.invoke<{ footer: { extras_json: string } }>('get_estimate', { id })).footer.extras_json).toContain('"enabled":false');
  await page.reload();
  await expect(totals.figure('materials')).toHaveText('20 500');
  await expect(totals.figure('balance')).toHaveText('-8 500');
  await expect(totals.root.getByTestId('extra-label').first()).toHaveValue('Подъём');
  await expect(totals.root.getByTestId('extra-label').nth(1)).toHaveValue('Доп. сумма');

  // Each footer edit is one undo step.
  await totals.check('Доставка').check();
  await expect(totals.amount('delivery')).toBeVisible();
  await page.keyboard.press('Control+z');
  await expect(totals.check('Доставка')).not.toBeChecked();
  await expect(totals.check('Аванс')).toBeChecked();
});

test('a stored materials * 0.05 shows as материалы * 0.05 and what is typed is stored in Russian', async ({ page, host }) => {
  const id = await seedEstimate(host.invoke, 'Имена', LINES);
  await storeFooter(host.invoke, id, { markup_formula: 'materials * 0.05' });
  await page.goto(`${host.origin}/editor/${id}`);
  const totals = new TotalsPanel(page);
  await expect(totals.markupField).toHaveValue('материалы * 0.05');
  await expect(totals.figure('markup')).toHaveText('1 000');

  await totals.markupField.press('End');
  await totals.markupField.pressSequentially('0');
  await expect(totals.figure('markup')).toHaveText('1 000');
  await expect.poll(async () => (await host.invoke<{ footer: { markup_formula: string } }>('get_estimate', { id })).footer.markup_formula).toBe('материалы * 0.050');
  await page.reload();
  await expect(totals.markupField).toHaveValue('материалы * 0.050');
  await expect(totals.figure('grand')).toHaveText('51 000');
});

test('the panel hides and shows with its state kept across a reload', async ({ page, host }) => {
  const id = await seedEstimate(host.invoke, 'Скрытие', LINES);
  await page.goto(`${host.origin}/editor/${id}`);
  const totals = new TotalsPanel(page);
  await totals.root.getByTitle('Скрыть итоги').click();
  await expect(totals.root).toHaveCount(0);
  await expect(page.getByTitle('Показать итоги')).toContainText('50 000');
  await page.reload();
  await expect(page.getByTitle('Показать итоги')).toBeVisible();
  await page.getByTitle('Показать итоги').click();
  await expect(totals.figure('grand')).toHaveText('50 000');
  await page.reload();
  await expect(totals.figure('grand')).toHaveText('50 000');
});

test('the panel shows the grand total the native side lists, for estimates with every footer feature', async ({ page, host }) => {
  const extras = (rows: Array<[string, number, boolean]>) =>
    JSON.stringify(rows.map(([label, amount, enabled], i) => ({ id: `x-${i}`, label, amount, enabled })));
  const cases = [
    { lines: LINES, footer: {} },
    { lines: LINES, footer: { materials: 500, show_materials: true, delivery: 3000, show_delivery: false, markup_formula: 'доставка + 1' } },
    { lines: LINES, footer: { delivery: 2500.5, show_delivery: true, extras_json: extras([['Подъём', 1200, true], ['Вывоз мусора', 800, false]]) } },
    { lines: LINES, footer: { advance: 99_999, show_advance: true, markup_formula: '(works + extras) * 0.15 - аванс * 0.01', extras_json: extras([['Проживание', 333.33, true]]) } },
    {
      lines: [...LINES, { name: 'Выезд', line_type: 'fixed', unit: null, fixed_total: 1500.75, category: 'work' }, { name: 'Учёт', line_type: 'quantity_only', quantity: 7 }],
      footer: { materials: 120.4, show_materials: true, delivery: 999.99, show_delivery: true, advance: 10_000, show_advance: false, markup_formula: 'Материалы * 0.07 + техника / 3', extras_json: extras([['Непредвиденные', 5000, true]]) },
    },
    { lines: LINES, footer: { markup_formula: 'работы * -0.5' } },
  ];
  const totals = new TotalsPanel(page);
  for (const [i, c] of cases.entries()) {
    const id = await seedEstimate(host.invoke, `Сверка ${i + 1}`, c.lines);
    await storeFooter(host.invoke, id, c.footer);
    const listed = (await host.invoke<Array<{ id: number; total: number }>>('list_estimates')).find((e) => e.id === id)!.total;
    await page.goto(`${host.origin}/editor/${id}`);
    // The markup arrives 300 ms after the figures: wait until the panel agrees or the limit passes.
    await expect.poll(async () => moneyValue(await totals.figure('grand').innerText()), { timeout: 10_000, message: `case ${i + 1}` }).toBeCloseTo(listed, 2);
  }
});
