// The proposal panel in both themes with everything it can show: a logo, payment stages, a
// published link and the customer's decision with comments. Accessible, and photographed.
import { readFileSync } from 'node:fs';
import path from 'node:path';
import { fileURLToPath } from 'node:url';
import { expect as baseExpect } from '../fixtures';
import { expectAccessible } from '../axe';
import { test } from '../linkService';
import { CustomerPage } from '../pages/customer';
import { ProposalPanel, seedProposalEstimate } from '../pages/proposal';
import { shot, THEMES, useTheme } from '../shots';

// A busy machine may take a while for each step of this long walk.
const expect = baseExpect.configure({ timeout: 15_000 });
test.setTimeout(180_000);

const here = path.dirname(fileURLToPath(import.meta.url));
const LOGO = readFileSync(path.join(here, '../data/logo.svg'));

for (const theme of THEMES) {
  test(`proposal panel in the ${theme} theme`, async ({ page, host, service, context }) => {
    const id = await seedProposalEstimate(
      host,
      'Квартира на Садовой, 54 м²',
      [
        { name: '1. Демонтаж', line_type: 'section', unit: '' },
        { name: 'Демонтаж покрытий', unit: 'м²', quantity: 54, unit_price: 180 },
        { name: 'Штукатурка стен', unit: 'м²', quantity: 126.5, unit_price: 650 },
      ],
      null,
    );
    await useTheme(page, theme);
    const kp = new ProposalPanel(page);
    await kp.open(host, id);
    await expect(kp.title).toHaveValue('Квартира на Садовой, 54 м²');
    await expectAccessible(page, `proposal panel, empty (${theme})`);

    await kp.title.fill('Ремонт квартиры на Садовой');
    await kp.logo.setInputFiles({ name: 'logo.svg', mimeType: 'image/svg+xml', buffer: LOGO });
    await expect(kp.logoPreview).toBeVisible();
    for (const [title, amount] of [
      ['Аванс при подписании', '40000'],
      ['После черновых работ', '60 000'],
    ]) {
      await kp.button('Добавить этап').click();
      const stage = kp.stages.last();
      await stage.getByLabel('Этап', { exact: true }).fill(title);
      await stage.getByLabel('Сумма, ₽', { exact: true }).fill(amount);
      await stage.getByLabel('Сумма, ₽', { exact: true }).blur();
    }
    // "60 000" is no number: the amount reads 0.
    await expect(kp.stages.last().getByLabel('Сумма, ₽', { exact: true })).toHaveValue('0');
    await kp.stages.last().getByLabel('Сумма, ₽', { exact: true }).fill('60000,5');
    await kp.button('Ссылка для заказчика').click();
    await expect(kp.link).toHaveText(new RegExp(`^${service.base}/p/`));
    const customer = new CustomerPage(await context.newPage());
    await customer.page.goto((await kp.link.textContent())!);
    await customer.comment('Ирина', 'irina@example.org', 'Согласна, начинайте с понедельника.');
    await customer.decide('Ирина Соколова', 'Согласовать');
    await expect(customer.notice).toHaveText('Спасибо, ваше решение передано.');
    await kp.focusWindow();
    await expect(kp.decision).toHaveText('Решение заказчика: согласовано (Ирина Соколова)');
    await expectAccessible(page, `proposal panel, published (${theme})`);
    await shot(page, `proposal-${theme}`);
    await kp.root.screenshot({ path: path.join('test-results', 'shots', `proposal-panel-${theme}.png`) });

    // Withdrawn and published anew: a new link, on which the customer declines.
    await kp.button('Отозвать ссылку').click();
    await expect(kp.link).toHaveCount(0);
    await kp.button('Ссылка для заказчика').click();
    await expect(kp.link).toHaveText(new RegExp(`^${service.base}/p/`));
    await customer.page.goto((await kp.link.textContent())!);
    await customer.decide('Ирина', 'Отклонить');
    await expect(customer.notice).toHaveText('Спасибо, ваше решение передано.');
    await customer.page.close();
    await kp.focusWindow();
    await expect(kp.decision).toHaveText('Решение заказчика: отклонено (Ирина)');
    await kp.logo.setInputFiles({ name: 'big.png', mimeType: 'image/png', buffer: Buffer.alloc(512_001) });
    await expect(kp.error).toHaveText('логотип больше 500 КБ');
    await expectAccessible(page, `proposal panel, error and rejection (${theme})`);
    await kp.root.screenshot({ path: path.join('test-results', 'shots', `proposal-panel-rejected-${theme}.png`) });
  });
}
