// Screenshots of the first screens in both themes and all densities, for looking at by eye.
// Run with CALCORA_SHOTS=1; the pictures land in test-results/shots.
import path from 'node:path';
import { test } from '../fixtures';

test.skip(!process.env.CALCORA_SHOTS, 'screenshots are taken on request');
test.setTimeout(120_000);

const SCREENS = ['/', '/templates', '/help', '/editor/1'] as const;
const DENSITIES = ['compact', 'regular', 'comfortable'] as const;

for (const theme of ['light', 'dark'] as const) {
  for (const uiSize of DENSITIES) {
    test(`screens in ${theme}, ${uiSize}`, async ({ page, host }) => {
      const created = await host.invoke<{ estimate: { id: number } }>('create_estimate', { objectName: 'Квартира на Садовой, 54 м²' });
      await host.invoke('create_estimate', { objectName: 'Баня 6×4' });
      const full = await host.invoke<{ estimate: object; footer: object; lines: unknown[] }>('get_estimate', { id: created.estimate.id });
      const line = (name: string, unit: string, quantity: number, unit_price: number, category = 'work', line_type = 'full') => ({
        estimate_id: created.estimate.id, sort_order: 0, line_type, name, unit, quantity, unit_price, category,
      });
      full.lines = [
        { ...line('1. Демонтаж', '', 0, 0), line_type: 'section' },
        line('Демонтаж покрытий', 'м²', 54, 180),
        line('Вывоз мусора', 'рейс', 2, 4500, 'equipment'),
        { ...line('2. Стены и потолки', '', 0, 0), line_type: 'section' },
        line('Штукатурка стен', 'м²', 126.5, 650),
        line('Смесь штукатурная', 'кг', 1520, 14.2, 'material'),
      ].map((l, i) => ({ ...l, sort_order: i }));
      await host.invoke('save_estimate', { payload: full });
      await page.evaluate(([t, s]) => localStorage.setItem('calcora.settings', JSON.stringify({ theme: t, uiSize: s })), [theme, uiSize]);
      for (const address of SCREENS) {
        await page.goto(`${host.origin}${address}`);
        await page.waitForTimeout(400);
        const name = address === '/' ? 'list' : address.slice(1).replace('/', '-');
        await page.screenshot({ path: path.join('test-results', 'shots', `${name}-${theme}-${uiSize}.png`) });
      }
      await page.goto(`${host.origin}/`);
      await page.getByTestId('menu-toggle').click();
      await page.screenshot({ path: path.join('test-results', 'shots', `list-collapsed-${theme}-${uiSize}.png`) });
      await page.getByTestId('menu-toggle').click();
      await host.invoke('delete_estimate', { id: created.estimate.id });
      await host.invoke('delete_estimate', { id: created.estimate.id + 1 });
      await page.reload();
      await page.waitForTimeout(300);
      await page.screenshot({ path: path.join('test-results', 'shots', `empty-${theme}-${uiSize}.png`) });
    });
  }
}
