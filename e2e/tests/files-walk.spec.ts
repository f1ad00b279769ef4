// The export menu, the recent files and the page's file dialog in both themes: accessible, photographed.
import { test, expect } from '../fixtures';
import { expectAccessible } from '../axe';
import { EstimateList } from '../pages/app';
import { ExportMenu } from '../pages/screens';
import { SAMPLE_LINES, seedEstimate } from '../seed';
import { shot, THEMES, useTheme } from '../shots';

test.setTimeout(150_000);

for (const theme of THEMES) {
  test(`export menu and recent files in the ${theme} theme`, async ({ page, host }) => {
    const id = await seedEstimate(host, 'Квартира на Садовой, 54 м²', SAMPLE_LINES);
    await seedEstimate(host, 'Баня 6×4', SAMPLE_LINES);
    await page.evaluate(
      (entry) => localStorage.setItem('calcora.recent', JSON.stringify([entry, { ...entry, path: '/home/user/Документы/Баня.clcx', name: 'Баня 6×4 с очень длинным названием объекта' }])),
      { path: '/home/user/Документы/Садовая.clcx', name: 'Квартира на Садовой, 54 м²', estimateId: id, openedAt: '2026-03-01T10:00:00.000Z' },
    );
    await useTheme(page, theme);
    const list = new EstimateList(page);
    await list.open();
    await expect(page.getByTestId('recent-entry')).toHaveCount(2);
    await list.row('Баня 6×4').getByTestId('estimate-export').click();
    await expect(new ExportMenu(page).root).toBeVisible();
    await expectAccessible(page, `export menu (${theme})`);
    await shot(page, `list-export-menu-${theme}`);
    await new ExportMenu(page).choose('pdf');
    await expect(page.getByTestId('dialog-save')).toBeVisible();
    await expectAccessible(page, `save dialog (${theme})`);
    await shot(page, `list-save-dialog-${theme}`);
    await page.getByTestId('dialog-cancel').click();
  });
}
