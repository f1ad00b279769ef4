// The customer's page of a published proposal, served by the link service (on SQLite, or on
// PostgreSQL when CALCORA_TEST_POSTGRES is set): the program's own client publishes, updates,
// polls and withdraws; the customer decides and comments in Chromium without JavaScript; a
// hostile snapshot shows as text; the page reads on a phone and passes axe.
import path from 'node:path';
import { expect as baseExpect } from '../fixtures';
import { expectAccessible } from '../axe';
import { test } from '../linkService';
import { CustomerPage } from '../pages/customer';
import { shot } from '../shots';

const expect = baseExpect.configure({ timeout: 15_000 });
test.setTimeout(90_000);

const SNAPSHOT = {
  title: 'Ремонт ванной',
  object_name: 'Квартира на Садовой',
  lines: [
    { id: 1, name: 'Демонтаж', unit: '', quantity: null, unit_price: null, total: 0 },
    { id: 2, name: 'Укладка плитки на пол и стены с затиркой швов', unit: 'м²', quantity: 21.5, unit_price: 1450, total: 31175 },
  ],
  stages: [{ title: 'Аванс', amount: 15000 }],
  total: 31175,
};

interface Status {
  ok: boolean;
  revoked: boolean;
  comments: { name: string; contact?: string; body: string }[] | null;
  decision: { status: string; name: string } | null;
  snapshot: typeof SNAPSHOT | null;
}

test('publish, update, the customer\'s answer without script, and withdrawal, through the program\'s client', async ({ host, service, browser }) => {
  const first = await host.invoke<{ token: string; url: string }>('proposal_publish', { snapshot: { ...SNAPSHOT, title: 'Черновик' }, token: null });
  expect(first.url).toBe(`${service.base}/p/${first.token}`);
  const again = await host.invoke<{ token: string; url: string }>('proposal_publish', { snapshot: SNAPSHOT, token: first.token });
  expect(again.token).toBe(first.token);
  let status = await host.invoke<Status>('proposal_poll', { token: first.token });
  expect(status).toEqual({ ok: true, revoked: false, comments: [], decision: null, snapshot: SNAPSHOT });

  const context = await browser.newContext({ javaScriptEnabled: false, viewport: { width: 390, height: 844 } });
  const customer = new CustomerPage(await context.newPage());
  await customer.page.goto(first.url);
  await expect(customer.page.getByRole('heading', { level: 1 })).toHaveText('Ремонт ванной');
  await expect(customer.page.getByRole('row')).toHaveCount(3);
  await expect(customer.page.getByText('Итого: 31 175 ₽')).toBeVisible();
  // Without script the page cannot be asked when it has settled; its fonts are the system's.
  await customer.page.screenshot({ path: path.join('test-results', 'shots', 'link-page-phone.png'), fullPage: true });

  await customer.comment('Олег', 'oleg@example.org', 'Можно начать в июне?');
  await expect(customer.notice).toHaveText('Спасибо, комментарий отправлен.');
  await expect(customer.comments).toHaveCount(1);
  await expect(customer.comments).toContainText('Можно начать в июне?');
  await customer.decide('Олег Иванов', 'Отклонить');
  await expect(customer.notice).toHaveText('Спасибо, ваше решение передано.');
  await expect(customer.page.getByText('Предложение отклонено (Олег Иванов)')).toBeVisible();
  await expect(customer.decisionForm).toHaveCount(0);
  await customer.page.screenshot({ path: path.join('test-results', 'shots', 'link-page-phone-answered.png'), fullPage: true });

  status = await host.invoke<Status>('proposal_poll', { token: first.token });
  expect(status.decision).toMatchObject({ status: 'rejected', name: 'Олег Иванов' });
  expect(status.comments).toMatchObject([{ name: 'Олег', contact: 'oleg@example.org', body: 'Можно начать в июне?' }]);

  await host.invoke('proposal_revoke', { token: first.token });
  status = await host.invoke<Status>('proposal_poll', { token: first.token });
  expect(status).toEqual({ ok: false, revoked: true, comments: null, decision: null, snapshot: null });
  const gone = await customer.page.reload();
  expect(gone?.status()).toBe(410);
  await expect(customer.page.getByRole('heading', { level: 1 })).toHaveText('Предложение отозвано');
  await context.close();
});

test('a hostile snapshot shows its texts and runs nothing', async ({ service, browser }) => {
  const evil = '<script>window.ran=1</script><img src=x onerror="window.ran=2">';
  const snapshot = {
    title: evil,
    object_name: evil,
    lines: [{ id: 1, name: evil, unit: evil, quantity: 1, unit_price: 1, total: 1 }],
    stages: [{ title: evil, amount: 1 }],
    total: 1,
  };
  const res = await fetch(`${service.base}/api/proposals`, {
    method: 'POST',
    headers: { 'Content-Type': 'application/json' },
    body: JSON.stringify({ ticket: service.ticket, snapshot, token: null }),
  });
  const { token } = (await res.json()) as { token: string };
  const context = await browser.newContext();
  const page = await context.newPage();
  const dialogs: string[] = [];
  page.on('dialog', (d) => {
    dialogs.push(d.message());
    void d.dismiss();
  });
  await page.goto(`${service.base}/p/${token}`);
  await expect(page.getByRole('heading', { level: 1 })).toHaveText(evil);
  await expect(page.getByRole('cell', { name: evil }).first()).toBeVisible();
  expect(await page.evaluate(() => (window as unknown as { ran?: number }).ran)).toBeUndefined();
  expect(await page.locator('script').count()).toBe(0);
  expect(dialogs).toEqual([]);
  await context.close();
});

for (const width of [390, 1280]) {
  test(`the customer page passes axe at ${width} px, before and after an answer`, async ({ service, browser }) => {
    const res = await fetch(`${service.base}/api/proposals`, {
      method: 'POST',
      headers: { 'Content-Type': 'application/json' },
      body: JSON.stringify({ ticket: service.ticket, snapshot: SNAPSHOT, token: null }),
    });
    const { token } = (await res.json()) as { token: string };
    // The page forbids every script, axe's included: the check runs with the policy set aside.
    const context = await browser.newContext({ bypassCSP: true, viewport: { width, height: 900 } });
    const customer = new CustomerPage(await context.newPage());
    await customer.page.goto(`${service.base}/p/${token}`);
    await expectAccessible(customer.page, `customer page at ${width} px`);
    await customer.comment('', '', 'Вопрос по срокам');
    await customer.decide('Мария', 'Согласовать');
    await expect(customer.notice).toHaveText('Спасибо, ваше решение передано.');
    await expectAccessible(customer.page, `customer page answered at ${width} px`);
    await shot(customer.page, `link-page-${width}`);
    await context.close();
  });
}
