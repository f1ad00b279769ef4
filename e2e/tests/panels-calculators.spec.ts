// The calculators and the formula bar: a room with a door gives the wall area, a line with
// "стены * 1.05" follows the height at once, and with the calculators switched off the stored
// formula still counts.
import { test } from '../fixtures';
import { expect } from './panels-support';
import { EditorPage, seedEstimate, storedLines } from '../pages/editor';

test.describe.configure({ timeout: 120_000 });

test('a room 4 × 3 × 2.7 with a door 0.9 × 2.1 gives стены ≈ 35.91; a line "стены * 1.05" follows H; with calculators off the formula still counts', async ({ page, host }) => {
  const id = await seedEstimate(host.invoke, 'Комната', [
    { name: 'Штукатурка стен', unit: 'м²', quantity: 1, unit_price: 650 },
    { name: 'Грунтовка', unit: 'л', quantity: 2, unit_price: 300, category: 'material' },
  ]);
  await page.goto(`${host.origin}/editor/${id}`);
  const editor = new EditorPage(page);
  await page.getByTitle('Режим сметы').selectOption('private');
  const calc = page.getByTestId('calculators-panel');
  await expect(calc.getByRole('heading', { name: 'Калькуляторы' })).toBeVisible();

  await calc.getByLabel('Длина L').fill('4');
  await calc.getByLabel('Ширина W').fill('3');
  await calc.getByLabel('Высота H').fill('2.7');
  await calc.getByTestId('calc-add-doors').click();
  await calc.getByLabel('Ширина двери 1').fill('0.9');
  await calc.getByLabel('Высота двери 1').fill('2.1');
  const result = calc.getByTestId('calc-room-result');
  await expect(result).toHaveText(/^стены 35\.91\d*, пол 12, периметр 14$/);

  // The formula of row 1, written with the buttons.
  await editor.name(0).click();
  const bar = page.getByTestId('formula-bar');
  await bar.getByTestId('formula-walls').click();
  await bar.getByRole('button', { name: '*', exact: true }).click();
  await bar.getByLabel('Формула').click();
  await bar.getByLabel('Формула').press('End');
  await bar.getByLabel('Формула').pressSequentially('1.05');
  await expect(bar.getByLabel('Формула')).toHaveValue('стены * 1.05');
  await expect(bar.getByTestId('formula-block')).toHaveText(['стены', '*', '1.05']);
  await expect.poll(async () => Number(await editor.qty(0).inputValue())).toBeCloseTo(35.91 * 1.05, 6);

  // A reference to row 2 shows as строка2.колво.
  await editor.name(1).click();
  await bar.getByLabel('Ссылка на строку').selectOption({ label: 'строка1 — Штукатурка стен' });
  await expect(bar.getByLabel('Формула')).toHaveValue(/^line:\d+\.qty$/);
  await expect(bar.getByTestId('formula-block')).toHaveText(['строка1.колво']);
  await bar.getByLabel('Формула').fill('');
  await expect(bar.getByTestId('formula-blocks')).toHaveText('Блоки появятся после ввода формулы');

  await calc.getByLabel('Высота H').fill('3');
  const walls = 14 * 3 - 0.9 * 2.1;
  await expect.poll(async () => Number(await editor.qty(0).inputValue())).toBeCloseTo(walls * 1.05, 6);
  await expect.poll(async () => (await storedLines(host.invoke, id))[0].quantity as number).toBeCloseTo(walls * 1.05, 6);
  await page.reload();
  await expect(result).toHaveText(`стены ${walls}, пол 12, периметр 14`);
  await expect(page.getByTestId('formula-bar')).toBeVisible();

  // Calculators off: neither panel nor bar, and the stored formula keeps counting.
  await page.getByTitle('Режим сметы').selectOption('simple');
  await expect(calc).toHaveCount(0);
  await expect(page.getByTestId('formula-bar')).toHaveCount(0);
  await editor.qty(0).fill('7');
  await editor.name(1).click();
  await expect.poll(async () => Number(await editor.qty(0).inputValue())).toBeCloseTo(walls * 1.05, 6);
  await page.reload();
  await expect.poll(async () => Number(await editor.qty(0).inputValue())).toBeCloseTo(walls * 1.05, 6);
  expect((await storedLines(host.invoke, id))[0].quantity as number).toBeCloseTo(walls * 1.05, 6);
});
