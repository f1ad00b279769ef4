// The editor with every panel open, in both themes: axe-core finds no serious problem with the
// totals panel (extras, markup error, advance), the calculators and formula bar, the open
// suggestion list and the catalog item dialog. Screenshots land in test-results/shots.
import path from 'node:path';
import { test } from '../fixtures';
import { EditorPage, seedEstimate, EXAMPLE } from '../pages/editor';
import { expect, expectAccessible, setTheme, storeFooter } from './panels-support';

const shot = (name: string) => path.join('test-results', 'shots', `${name}.png`);

for (const theme of ['light', 'dark'] as const) {
  test(`panels pass axe-core in the ${theme} theme`, async ({ page, host }) => {
    test.setTimeout(90_000);
    const id = await seedEstimate(host.invoke, 'Квартира на Садовой', EXAMPLE);
    const extras = JSON.stringify([
      { id: 'a', label: 'Подъём', amount: 1200, enabled: true },
      { id: 'b', label: 'Вывоз мусора', amount: 4500, enabled: false },
    ]);
    await storeFooter(
      host.invoke,
      id,
      { materials: 500, show_materials: true, delivery: 3000, show_delivery: true, advance: 50_000, show_advance: true, markup_formula: 'works * 0.1', extras_json: extras },
      { mode: 'private', mode_mask_json: '{"skuCost":true,"calculators":true,"proposal":true,"governmentEngine":false}', calc_params_json: '{"room":{"L":4,"W":3,"H":2.7,"doors":[{"w":0.9,"h":2.1,"count":1}],"windows":[{"w":1.4,"h":1.2,"count":2}]}}' },
    );
    await setTheme(page, theme);
    await page.goto(`${host.origin}/editor/${id}`);
    const editor = new EditorPage(page);
    await expect(page.getByTestId('totals-markup')).toHaveText('2 480');
    await editor.name(1).click();
    await page.getByTestId('formula-field').fill('стены * 1.05 + line:1.qty');
    await expectAccessible(page, 'editor with panels');
    await page.screenshot({ path: shot(`panels-${theme}`), fullPage: true });

    await page.getByTestId('markup-field').fill('работы *');
    await expect(page.getByTestId('markup-error')).toBeVisible();
    await expectAccessible(page, 'markup error');
    await page.getByTestId('totals-panel').screenshot({ path: shot(`totals-error-${theme}`) });

    const name = editor.name(7);
    await name.click();
    await name.pressSequentially('Монтаж');
    await expect(page.getByTestId('suggestions')).toBeVisible();
    await expectAccessible(page, 'suggestion list');
    await page.screenshot({ path: shot(`suggestions-${theme}`) });
    await page.getByTestId('suggestion').first().click();

    await editor.row(7).getByTestId('edit-item').click();
    await expect(page.getByRole('dialog').getByLabel('Наименование')).toBeFocused();
    await expectAccessible(page, 'item dialog');
    await page.screenshot({ path: shot(`item-dialog-${theme}`) });
  });
}
