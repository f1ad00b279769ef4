// The loopback host's contract: the page, the key, the Host check and the command errors.
import { test, expect } from '../fixtures';

test('serves the page with its security policy and answers a command round trip', async ({ page, host, request }) => {
  await expect(page).toHaveTitle('Calcora');
  await expect(page.locator('#root')).not.toBeEmpty();
  const res = await request.get(`${host.origin}/`);
  expect(res.headers()['content-security-policy']).toContain("script-src 'self'");
  // The page keeps working at deep addresses after a reload, with the key kept for the tab.
  await page.goto(`${host.origin}/help`);
  await expect(page.locator('#root')).not.toBeEmpty();
  const answer = await page.evaluate(async () => {
    const key = sessionStorage.getItem('calcora.serveKey') ?? '';
    const r = await fetch('/api/invoke/write_utf8', {
      method: 'POST',
      headers: { 'X-Calcora-Key': key },
      body: JSON.stringify({ text: 'x' }),
    });
    return { status: r.status, text: await r.text() };
  });
  expect(answer).toEqual({ status: 400, text: 'command write_utf8 missing required key path' });
});

test('refuses requests without the key or from a foreign host', async ({ host, request }) => {
  const noKey = await request.post(`${host.origin}/api/invoke/write_utf8`, { data: { text: 'x' } });
  expect(noKey.status()).toBe(403);
  const wrongKey = await request.post(`${host.origin}/api/invoke/write_utf8`, {
    headers: { 'X-Calcora-Key': host.key + 'x' },
    data: {},
  });
  expect(wrongKey.status()).toBe(403);
  const foreignHost = await request.post(`${host.origin}/api/invoke/write_utf8`, {
    headers: { 'X-Calcora-Key': host.key, Host: `rebound.example:${host.port}` },
    data: {},
  });
  expect(foreignHost.status()).toBe(403);
  const localhost = await request.post(`http://localhost:${host.port}/api/invoke/write_utf8`, {
    headers: { 'X-Calcora-Key': host.key },
    data: {},
  });
  expect(localhost.status()).toBe(400);
});

test('bad input gets clear errors and the host keeps serving', async ({ host, request }) => {
  const post = (command: string, data: string | object) =>
    request.post(`${host.origin}/api/invoke/${command}`, {
      headers: { 'X-Calcora-Key': host.key, 'Content-Type': 'application/json' },
      // Raw text goes as bytes; Playwright would otherwise send it as a JSON string.
      data: typeof data === 'string' ? Buffer.from(data) : data,
    });
  const cases: Array<[string, string | object, number, RegExp | string]> = [
    ['write_utf8', { path: 5, text: 'x' }, 400, /^invalid args `path` for command `write_utf8`: /],
    ['write_utf8', { text: 'x' }, 400, 'command write_utf8 missing required key path'],
    ['write_utf8', '{"path": ', 400, /^invalid JSON arguments for command `write_utf8`: /],
    ['write_utf8', '[1,2]', 400, /expected a map$/],
    ['no_such_command', {}, 400, 'unknown command `no_such_command`'],
    ['write_utf8', 'x'.repeat(65 * 1024 * 1024), 413, 'request body too large'],
  ];
  for (const [command, data, status, text] of cases) {
    const res = await post(command, data);
    expect(res.status(), `${command} ${String(data).slice(0, 40)}`).toBe(status);
    const body = await res.text();
    if (typeof text === 'string') expect(body).toBe(text);
    else expect(body).toMatch(text);
  }
  const file = `${host.dataDir}/out.txt`;
  expect(await host.invoke('write_utf8', { path: file, text: 'Смета' })).toBeNull();
});
