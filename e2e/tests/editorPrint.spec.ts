// The printed estimate, checked for real: Chromium prints the editor to PDF and poppler reads it.
import { execFileSync } from 'node:child_process';
import { mkdirSync, mkdtempSync, rmSync, writeFileSync } from 'node:fs';
import { tmpdir } from 'node:os';
import path from 'node:path';
import { test, expect } from '../fixtures';
import { EditorPage, EXAMPLE, seedEstimate } from '../pages/editor';

// Long walks of many steps: generous limits for a busy 2-core machine.
test.describe.configure({ timeout: 120_000 });

test('the printout has the heading, the lines and the totals, and none of the tools', async ({ page, host }) => {
  const id = await seedEstimate(host.invoke, 'Дом: этаж 1/2', EXAMPLE);
  await page.goto(`${host.origin}/editor/${id}`);
  const editor = new EditorPage(page);
  await expect(editor.name(1)).toHaveValue('Кладка');

  // The title names the printed file while printing and comes back afterwards.
  await page.evaluate(() => {
    (window as unknown as { seenTitles: string[] }).seenTitles = [];
    window.print = () => {
      (window as unknown as { seenTitles: string[] }).seenTitles.push(document.title);
      window.dispatchEvent(new Event('afterprint'));
    };
  });
  await page.getByRole('button', { name: 'Печать' }).click();
  expect(await page.evaluate(() => (window as unknown as { seenTitles: string[] }).seenTitles)).toEqual(['Дом- этаж 1-2']);
  await expect(page).toHaveTitle('Calcora');

  await page.emulateMedia({ media: 'print' });
  const pdf = await page.pdf({ format: 'A4', preferCSSPageSize: true });
  const dir = mkdtempSync(path.join(tmpdir(), 'calcora-print-'));
  try {
    const file = path.join(dir, 'print.pdf');
    writeFileSync(file, pdf);
    if (process.env.CALCORA_SHOTS) mkdirSync(path.join('test-results', 'shots'), { recursive: true });
    if (process.env.CALCORA_SHOTS) writeFileSync(path.join('test-results', 'shots', 'editor-print.pdf'), pdf);
    const text = execFileSync('pdftotext', ['-raw', file, '-'], { encoding: 'utf8' });
    for (const expected of ['Дом: этаж 1/2', 'Кладка перегородок', '6 800,00', '1 500,00', 'Работы', 'Материалы', 'Техника', 'Общий итог', '67 300']) {
      expect(text).toContain(expected);
    }
    for (const absent of ['✕', 'Экспорт', 'Масштаб', 'Колонки', 'Добавить позицию', 'Полная', 'Режим']) {
      expect(text).not.toContain(absent);
    }
  } finally {
    rmSync(dir, { recursive: true, force: true });
  }
});
