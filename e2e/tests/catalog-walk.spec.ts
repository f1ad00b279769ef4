// The catalog screen with its edit form open, in both themes: accessible, and photographed.
import { test, expect } from '../fixtures';
import { expectAccessible } from '../axe';
import { Catalog } from '../pages/screens';
import { shot, THEMES, useTheme } from '../shots';

test.setTimeout(150_000);

for (const theme of THEMES) {
  test(`catalog with the edit form in the ${theme} theme`, async ({ page }) => {
    await useTheme(page, theme);
    const catalog = new Catalog(page);
    await catalog.open();
    await expect(catalog.rows.first()).toBeVisible();
    await catalog.typeFilter.selectOption({ label: 'Полная' });
    await expect(catalog.count).toHaveText(/^\d+ \/ \d+ поз\.$/);
    await catalog.rows.nth(2).getByTestId('catalog-edit').click();
    await expect(catalog.form).toBeVisible();
    await catalog.search.fill('штукатур');
    await page.getByTestId('catalog-message').or(catalog.rows.first()).first().waitFor();
    await expectAccessible(page, `catalog (${theme})`);
    await shot(page, `catalog-form-${theme}`);
    await catalog.form.getByTestId('unit-field').click();
    await expect(page.getByTestId('unit-list')).toBeVisible();
    await shot(page, `catalog-unit-list-${theme}`);
  });
}
