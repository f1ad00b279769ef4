// The proposal panel against the loopback host and the link service: the customer link, the
// customer's answer on its page, its withdrawal, the saved HTML file, the logo's size limit and the print window.
import { execFileSync } from 'node:child_process';
import { existsSync, mkdtempSync, readFileSync, rmSync, writeFileSync } from 'node:fs';
import { tmpdir } from 'node:os';
import path from 'node:path';
import type { Locator } from '@playwright/test';
import { expect as baseExpect, type Host } from '../fixtures';
import { test } from '../linkService';
import { CustomerPage } from '../pages/customer';
import { ProposalPanel, seedProposalEstimate, type KpLine } from '../pages/proposal';

// Each step waits on the host and the link service; a busy machine answers slowly.
const expect = baseExpect.configure({ timeout: 15_000 });
test.setTimeout(90_000);

const LINES: KpLine[] = [
  { name: 'Стены', line_type: 'section', unit: '' },
  { name: 'Кирпич <b>М150</b> & раствор', unit: 'м²', quantity: 2.5, unit_price: 1234.5 },
  { name: 'Доставка', line_type: 'fixed', unit: null as unknown as string, fixed_total: 1500 },
];
const KP = { title: 'КП "Озеро"', stages: [{ title: 'Аванс', amount: 1000 }], logo_b64: null, token: null };

async function storedKp(host: Host, id: number): Promise<Record<string, unknown>> {
  const data = await host.invoke<{ estimate: { kp_json: string | null } }>('get_estimate', { id });
  return JSON.parse(data.estimate.kp_json ?? '{}') as Record<string, unknown>;
}

/** The token at the end of a customer address shown by the panel. */
async function tokenOf(link: Locator): Promise<string> {
  const text = (await link.textContent()) ?? '';
  return text.slice(text.lastIndexOf('/p/') + 3);
}

test('a published link shows its address, the customer\'s decision and comments, and is withdrawn', async ({ page, host, service, context }) => {
  const id = await seedProposalEstimate(host, 'Дом у озера', LINES, KP);
  const kp = new ProposalPanel(page);
  await kp.open(host, id);
  await expect(kp.button('Отозвать ссылку')).toHaveCount(0);

  await kp.button('Ссылка для заказчика').click();
  await expect(kp.link).toHaveText(new RegExp(`^${service.base}/p/[A-Za-z0-9_-]{22,}$`));
  const token = await tokenOf(kp.link);
  await expect(kp.button('Отозвать ссылку')).toBeVisible();
  await expect.poll(async () => (await storedKp(host, id)).token).toBe(token);
  const sent = (await service.poll(token)).body.snapshot as { lines: { name: string }[]; total: number };
  expect(sent.lines.map((l) => l.name)).toEqual(LINES.map((l) => l.name));
  expect(sent.total).toBe(4586.25);

  // The customer answers on the link's page, in a browser of their own.
  const customer = new CustomerPage(await context.newPage());
  await customer.page.goto(`${service.base}/p/${token}`);
  await customer.comment('Анна', '+7 900 000-00-00', 'Когда начнёте?');
  await expect(customer.notice).toHaveText('Спасибо, комментарий отправлен.');
  await customer.comment('', '', 'Хорошо бы в мае');
  await customer.decide('Анна Петрова', 'Согласовать');
  await expect(customer.notice).toHaveText('Спасибо, ваше решение передано.');

  await kp.focusWindow();
  await expect(kp.decision).toHaveText('Решение заказчика: согласовано (Анна Петрова)');
  await expect(kp.comments).toHaveText(['Анна (+7 900 000-00-00): Когда начнёте?', 'Гость: Хорошо бы в мае']);

  await kp.button('Отозвать ссылку').click();
  await expect(kp.link).toHaveCount(0);
  await expect(kp.decision).toHaveCount(0);
  await expect(kp.button('Отозвать ссылку')).toHaveCount(0);
  expect((await service.poll(token)).status).toBe(410);
  await expect.poll(async () => (await storedKp(host, id)).token).toBe(null);
  const gone = await customer.page.reload();
  expect(gone?.status()).toBe(410);
  await expect(customer.page.getByRole('heading', { level: 1 })).toHaveText('Предложение отозвано');
});

test('after reopening, a published proposal is published again under its stored token', async ({ page, host, service }) => {
  const id = await seedProposalEstimate(host, 'Баня', LINES, KP);
  const kp = new ProposalPanel(page);
  await kp.open(host, id);
  await kp.button('Ссылка для заказчика').click();
  await expect(kp.link).toHaveText(new RegExp(`^${service.base}/p/`));
  const address = await kp.link.textContent();
  const token = await tokenOf(kp.link);
  await expect.poll(async () => (await storedKp(host, id)).token).toBe(token);

  await page.reload();
  await page.getByRole('button', { name: 'КП', exact: true }).click();
  await expect(kp.button('Отозвать ссылку')).toBeVisible();
  await expect(kp.link).toHaveCount(0);

  await kp.title.fill('Баня, вторая редакция');
  await kp.title.blur();
  await kp.button('Ссылка для заказчика').click();
  await expect(kp.link).toHaveText(address!);
  await expect.poll(async () => ((await service.poll(token)).body.snapshot as { title: string }).title).toBe('Баня, вторая редакция');

  // The publication is withdrawn elsewhere (another program of the account): the next poll hides the address.
  await service.revoke(token);
  await kp.focusWindow();
  await expect(kp.link).toHaveCount(0);
  await expect(kp.button('Отозвать ссылку')).toBeVisible();
});

test('a refused publish shows the service\'s reason in red', async ({ page, host }) => {
  const id = await seedProposalEstimate(host, 'Гараж', LINES, KP);
  await host.invoke('proposal_ticket_set', { ticket: 'чужой-ключ' });
  const kp = new ProposalPanel(page);
  await kp.open(host, id);
  await kp.button('Ссылка для заказчика').click();
  await expect(kp.error).toHaveText('ключ доступа не принят');
  await expect(kp.error).toHaveCSS('color', /rgb\((220, 38, 38|248, 113, 113)\)/);
  await expect(kp.link).toHaveCount(0);
});

const STYLE =
  'body{font:15px/1.4 system-ui,sans-serif;color:#171717;padding:24px}table{border-collapse:collapse;width:100%}td,th{border-bottom:1px solid #e5e5e5;text-align:left;padding:6px 8px}';
const EXPECTED_HTML =
  '<!doctype html><html lang="ru"><head><meta charset="utf-8"><title>КП &quot;Озеро&quot;</title>\n' +
  `<style>${STYLE}</style>\n` +
  '</head><body>\n' +
  '\n' +
  '<h1>КП &quot;Озеро&quot;</h1>\n' +
  '<p>Дом у озера</p>\n' +
  '<table><thead><tr><th>Наименование</th><th>Ед.</th><th>Кол-во</th><th>Цена</th><th>Сумма</th></tr></thead><tbody>' +
  '<tr><td>Стены</td><td></td><td></td><td></td><td>0</td></tr>' +
  '<tr><td>Кирпич &lt;b&gt;М150&lt;/b&gt; &amp; раствор</td><td>м²</td><td>2.5</td><td>1 234,5</td><td>3 086,25</td></tr>' +
  '<tr><td>Доставка</td><td></td><td></td><td></td><td>1 500</td></tr>' +
  '</tbody></table>\n' +
  '<p>Аванс: 1 000 ₽</p>\n' +
  '<p>Итого: 4 586,25 ₽</p></body></html>';

test('"Сохранить HTML" writes the document to the chosen name with .html; a failed write is shown', async ({ page, host }) => {
  const dir = mkdtempSync(path.join(tmpdir(), 'calcora-kp-'));
  try {
    const id = await seedProposalEstimate(host, 'Дом у озера', LINES, KP);
    const kp = new ProposalPanel(page);
    await kp.open(host, id);
    await kp.button('Сохранить HTML').click();
    // The title made a safe file name, in the folder the save dialogs start in.
    await expect(page.getByTestId('dialog-path')).toHaveValue(/(^|[\\/])КП Озеро\.html$/);
    await page.getByTestId('dialog-path').fill(path.join(dir, 'предложение.htm'));
    await page.getByTestId('dialog-ok').click();
    const saved = path.join(dir, 'предложение.html');
    await expect.poll(() => (existsSync(saved) ? readFileSync(saved, 'utf8') : null)).toBe(EXPECTED_HTML);

    await kp.button('Сохранить HTML').click();
    await page.getByTestId('dialog-path').fill(path.join(dir, 'нет-такой-папки', 'kp.html'));
    await page.getByTestId('dialog-ok').click();
    await expect(kp.error).toContainText('Ошибка: ');
  } finally {
    rmSync(dir, { recursive: true, force: true });
  }
});

// A valid 1×1 PNG; image readers ignore what follows its end, so padding sets the size.
const PNG = Buffer.from(
  'iVBORw0KGgoAAAANSUhEUgAAAAEAAAABCAYAAAAfFcSJAAAADUlEQVR42mNkYPhfDwAChwGA60e6kgAAAABJRU5ErkJggg==',
  'base64',
);
function pngOfSize(bytes: number): Buffer {
  return Buffer.concat([PNG, Buffer.alloc(bytes - PNG.length)]);
}

test('a logo of 512,000 bytes is taken and 512,001 refused, keeping the previous one', async ({ page, host }) => {
  const id = await seedProposalEstimate(host, 'Офис', LINES, KP);
  const kp = new ProposalPanel(page);
  await kp.open(host, id);
  await kp.logo.setInputFiles({ name: 'logo.png', mimeType: 'image/png', buffer: pngOfSize(512_000) });
  await expect(kp.logoPreview).toBeVisible();
  await expect.poll(async () => String((await storedKp(host, id)).logo_b64).length).toBe('data:image/png;base64,'.length + 682_668);

  await kp.logo.setInputFiles({ name: 'big.png', mimeType: 'image/png', buffer: pngOfSize(512_001) });
  await expect(kp.error).toHaveText('логотип больше 500 КБ');
  expect(String((await storedKp(host, id)).logo_b64).length).toBe('data:image/png;base64,'.length + 682_668);

  // Small enough but not an image: kept as the logo, left out of the document.
  await kp.logo.setInputFiles({ name: 'note.txt', mimeType: 'text/plain', buffer: Buffer.from('hello') });
  await expect(kp.error).toHaveCount(0);
  await expect.poll(async () => (await storedKp(host, id)).logo_b64).toBe('data:text/plain;base64,aGVsbG8=');
});

test('"Сохранить PDF" opens a window whose printout holds the lines and the total', async ({ page, host }) => {
  const id = await seedProposalEstimate(host, 'Дом у озера', LINES, KP);
  const kp = new ProposalPanel(page);
  await kp.open(host, id);
  await kp.title.fill('КП: дом/баня');
  // The system's print dialog stands in for the user's "save as PDF": the test notes that it
  // was asked for and prints the window itself.
  await page.evaluate(() => {
    const open = window.open.bind(window);
    window.open = (...args) => {
      const opened = open(...args);
      if (opened) opened.print = () => void ((window as unknown as { printAsked: boolean }).printAsked = true);
      return opened;
    };
  });
  const [popup] = await Promise.all([page.waitForEvent('popup'), kp.button('Сохранить PDF').click()]);
  await expect.poll(() => popup.title()).toBe('КП- дом-баня');
  expect(await popup.content()).toContain('<h1>КП: дом/баня</h1>');
  await expect.poll(() => page.evaluate(() => (window as unknown as { printAsked?: boolean }).printAsked)).toBe(true);
  await popup.emulateMedia({ media: 'print' });
  const pdf = await popup.pdf({ format: 'A4' });
  const dir = mkdtempSync(path.join(tmpdir(), 'calcora-kp-pdf-'));
  try {
    writeFileSync(path.join(dir, 'kp.pdf'), pdf);
    const text = execFileSync('pdftotext', ['-raw', path.join(dir, 'kp.pdf'), '-'], { encoding: 'utf8' });
    for (const expected of ['Кирпич <b>М150</b> & раствор', 'Доставка', '3 086,25', 'Аванс: 1 000 ₽', 'Итого: 4 586,25 ₽'])
      expect(text).toContain(expected);
  } finally {
    rmSync(dir, { recursive: true, force: true });
  }
  await popup.close();
  await expect(kp.error).toHaveCount(0);
});

test('with no window to print in, the panel says so', async ({ page, host }) => {
  const id = await seedProposalEstimate(host, 'Дом у озера', LINES, KP);
  const kp = new ProposalPanel(page);
  await kp.open(host, id);
  await page.evaluate(() => {
    window.open = () => null;
  });
  await kp.button('Сохранить PDF').click();
  await expect(kp.error).toHaveText('не открылось окно печати');
});
