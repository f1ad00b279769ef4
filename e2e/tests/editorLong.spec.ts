// A 10,000-line estimate: the grid holds only the rows near the view, yet every line is
// reached by scrolling, the keyboard, search and print, and typing there is stored.
import { execFileSync } from 'node:child_process';
import { mkdtempSync, rmSync, writeFileSync } from 'node:fs';
import { tmpdir } from 'node:os';
import path from 'node:path';
import type { Locator, Page } from '@playwright/test';
import { test, expect } from '../fixtures';
import { axeFaults, EditorPage, seedEstimate, storedLines } from '../pages/editor';

// A long estimate saved, opened, printed to a PDF of hundreds of pages: a generous limit.
test.describe.configure({ timeout: 300_000 });

const COUNT = 10_000;

/** The element lies within the scroller's visible band (below the sticky header). */
async function inSight(page: Page, el: Locator): Promise<boolean> {
  const box = await el.boundingBox();
  const view = await page.getByTestId('grid-scroller').boundingBox();
  const head = await page.getByTestId('grid-head').boundingBox();
  if (!box || !view || !head) return false;
  return box.y >= head.y + head.height - 1 && box.y + box.height <= view.y + view.height + 1;
}

test('10,000 lines: the end is reached and typed into, arrows and search bring rows into sight, print has every line', async ({ page, host }) => {
  const lines = Array.from({ length: COUNT }, (_, i) => ({ name: `Позиция ${i + 1}`, quantity: 1 + (i % 5), unit_price: 10 }));
  lines[0].name = 'Первая строка';
  lines[8999].name = 'Гидроизоляция фундамента';
  const id = await seedEstimate(host.invoke, 'Длинная смета', lines);
  await page.goto(`${host.origin}/editor/${id}`);
  const editor = new EditorPage(page);
  await expect(editor.name(0)).toHaveValue('Первая строка');
  // Every line counts for screen readers; only those near the view are in the document.
  await expect(page.getByTestId('grid')).toHaveAttribute('aria-rowcount', String(COUNT + 2));
  expect(await editor.rows.count()).toBeLessThan(200);
  await expect(editor.row(1)).toHaveAttribute('aria-rowindex', '3');

  // Scrolling to the end reaches the empty line after the last one; what is typed there is stored.
  await editor.scroller.evaluate((el) => (el.scrollTop = el.scrollHeight));
  await expect(editor.name(COUNT - 1)).toHaveValue(`Позиция ${COUNT}`);
  await editor.name(COUNT).click();
  await page.keyboard.type('Последняя строка');
  // The stored estimate is read whole (10,000 lines) while the page saves: a read the busy host
  // drops is read again on the next poll.
  const storedEnd = async () => {
    try {
      const stored = await storedLines(host.invoke, id);
      return [stored.length, stored.at(-1)?.name];
    } catch {
      return null;
    }
  };
  await expect.poll(storedEnd, { timeout: 90_000, intervals: [1000, 2000, 5000] }).toEqual([COUNT + 1, 'Последняя строка']);

  // From row 1 down 60 rows by the keyboard: each arrow lands in a labelled field in sight,
  // also once the rows come from beyond what was drawn.
  await editor.scroller.evaluate((el) => (el.scrollTop = 0));
  await editor.row(1).getByTestId('row-grip').click();
  for (let row = 2; row <= 61; row++) {
    await page.keyboard.press('ArrowDown');
    const field = editor.name(row);
    await expect(field).toBeFocused();
    await expect(field).toHaveAccessibleName('Наименование');
    expect(await inSight(page, field)).toBe(true);
    // Leaving the field (as a click outside does) hands the arrows back to the grid.
    await field.evaluate((el) => (el as HTMLInputElement).blur());
  }

  // Search for the name in row 9,000: the hit is brought into sight and made current.
  await page.keyboard.press('Control+f');
  await page.getByPlaceholder('Найти…').fill('гидроизоляция');
  await page.getByPlaceholder('Найти…').press('Enter');
  await expect(page.getByTestId('search-label')).toHaveText('1/1');
  await expect(editor.row(8999)).toHaveClass(/is-current/);
  await expect.poll(() => inSight(page, editor.row(8999))).toBe(true);
  expect(await axeFaults(page)).toEqual([]);

  // The printout holds every line, not only those drawn on screen.
  await page.emulateMedia({ media: 'print' });
  const pdf = await page.pdf({ format: 'A4', preferCSSPageSize: true });
  await page.emulateMedia({ media: 'screen' });
  const dir = mkdtempSync(path.join(tmpdir(), 'calcora-long-print-'));
  try {
    const file = path.join(dir, 'print.pdf');
    writeFileSync(file, pdf);
    const text = execFileSync('pdftotext', ['-raw', file, '-'], { encoding: 'utf8', maxBuffer: 64 * 1024 * 1024 });
    for (const expected of ['Первая строка', 'Позиция 5000', 'Гидроизоляция фундамента', `Позиция ${COUNT}`, 'Последняя строка']) expect(text).toContain(expected);
  } finally {
    rmSync(dir, { recursive: true, force: true });
  }
  // Back on screen, the grid holds the rows near the view again.
  await expect.poll(() => page.getByTestId('print-grid').count()).toBe(0);
});
