// Every settings category in both themes: accessible, and photographed for review.
import { test, expect } from '../fixtures';
import { expectAccessible } from '../axe';
import { Settings } from '../pages/screens';
import { shot, THEMES, useTheme } from '../shots';

const CATEGORIES = ['general', 'mode', 'editor', 'table', 'print', 'data', 'links'] as const;

test.setTimeout(150_000);

for (const theme of THEMES) {
  test(`settings categories in the ${theme} theme`, async ({ page }) => {
    await useTheme(page, theme, { defaultMode: 'private' });
    const settings = new Settings(page);
    await settings.open();
    await expect(page.getByRole('tablist', { name: 'Категории настроек' })).toBeVisible();
    for (const id of CATEGORIES) {
      await settings.category(id);
      if (id === 'data') {
        await page.getByTestId('settings-backup').click();
        await page.getByTestId('dialog-path').fill('/nonexistent-folder/copy.db');
        await page.getByTestId('dialog-ok').click();
        await expect(settings.dataMessage).toContainText('Ошибка: ');
      }
      await expectAccessible(page, `settings ${id} (${theme})`);
      await shot(page, `settings-${id}-${theme}`);
    }
  });
}
