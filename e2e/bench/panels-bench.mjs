// Page benchmarks of the editor panels, run by bench/run.sh against the loopback host:
//  - name suggestions with 100,000 catalog items: from the second typed letter to the list on
//    screen, less the 200 ms pause the field waits before it asks;
//  - typing into the markup field of a 1,000-line estimate, measured as the editor's keystrokes
//    are: Event Timing, and each key to the next frame beside the same keys in a plain field.
// Prints one "ROW<TAB>operation<TAB>size<TAB>median ms<TAB>floor ms" line per figure.
import { spawn, execFileSync } from 'node:child_process';
import { mkdtempSync, rmSync } from 'node:fs';
import { tmpdir } from 'node:os';
import path from 'node:path';
import { fileURLToPath } from 'node:url';
import { chromium } from '@playwright/test';

const here = path.dirname(fileURLToPath(import.meta.url));
const serveBinary = process.env.CALCORA_SERVE ?? path.resolve(here, '../../build/calcora-serve');
const SUGGEST_DELAY_MS = 200;
const ITEMS = 100_000;

const median = (xs) => {
  const s = [...xs].sort((a, b) => a - b);
  const m = s.length >> 1;
  return s.length % 2 ? s[m] : (s[m - 1] + s[m]) / 2;
};

function startHost(dataDir) {
  const child = spawn(serveBinary, ['--port', '0', '--data-dir', dataDir], { stdio: ['ignore', 'pipe', 'inherit'] });
  return new Promise((resolve, reject) => {
    let out = '';
    const timer = setTimeout(() => reject(new Error('calcora-serve did not start')), 30_000);
    child.stdout.on('data', (chunk) => {
      out += chunk.toString();
      const m = /Calcora: (http:\/\/127\.0\.0\.1:\d+)\/#key=(\S+)/.exec(out);
      if (m) {
        clearTimeout(timer);
        resolve({ child, origin: m[1], key: m[2], url: `${m[1]}/#key=${m[2]}` });
      }
    });
    child.on('exit', (code) => reject(new Error(`calcora-serve exited with ${code}`)));
  });
}

async function stopHost(host) {
  if (host.child.exitCode !== null) return;
  const exited = new Promise((r) => host.child.once('exit', r));
  host.child.kill('SIGTERM');
  await exited;
}

async function call(host, command, args = {}) {
  const res = await fetch(`${host.origin}/api/invoke/${command}`, {
    method: 'POST',
    headers: { 'X-Calcora-Key': host.key, 'Content-Type': 'application/json' },
    body: JSON.stringify(args),
  });
  const text = await res.text();
  if (!res.ok) throw new Error(`${command}: ${text}`);
  return JSON.parse(text);
}

// Names built from words of the trade, so that two letters match as many names as in real use.
const WORDS = ['Монтаж', 'Демонтаж', 'Установка', 'Укладка', 'Кладка', 'Прокладка', 'Штукатурка', 'Покраска', 'Бетон', 'Кабель', 'Труба', 'Плитка', 'Смесь', 'Грунтовка', 'Доставка', 'Аренда', 'Устройство', 'Шпаклёвка', 'Утепление', 'Облицовка'];
const OBJECTS = ['стен', 'пола', 'потолка', 'кровли', 'фасада', 'перегородок', 'откосов', 'двери', 'окна', 'щита', 'розеток', 'радиатора', 'лестницы', 'фундамента', 'отмостки'];
function catalogSql() {
  const rows = [];
  for (let i = 0; i < ITEMS; i++) {
    const name = `${WORDS[i % WORDS.length]} ${OBJECTS[(i * 7) % OBJECTS.length]} тип ${i}`;
    rows.push(`('${name}','м²',${100 + (i % 900)},'full','work')`);
  }
  const chunks = [];
  for (let i = 0; i < rows.length; i += 1000) chunks.push(`INSERT INTO catalog_items (name, unit, default_price, line_type, category) VALUES ${rows.slice(i, i + 1000).join(',')};`);
  return `BEGIN;${chunks.join('\n')}COMMIT;`;
}

async function openEditor(browser, host, id, onList) {
  const page = await browser.newPage({ viewport: { width: 1400, height: 900 } });
  await page.goto(host.url);
  // The page keeps the host's key once its first command has read it from the address.
  await page.waitForFunction(() => sessionStorage.getItem('calcora.serveKey'), null, { timeout: 60_000 });
  if (onList) await onList(page);
  await page.goto(`${host.origin}/editor/${id}`);
  page.on('pageerror', (e) => console.error('page error:', e.message));
  await page.getByTestId('name-cell').first().waitFor({ timeout: 120_000 });
  return page;
}

async function suggestionBench(browser, host) {
  const created = await call(host, 'create_estimate', { objectName: 'Подсказки' });
  const page = await openEditor(browser, host, created.estimate.id);
  const name = page.getByTestId('name-cell').first();
  await page.evaluate(() => {
    window.__shown = null;
    new MutationObserver(() => {
      if (window.__shown === null && document.querySelector('[data-testid="suggestions"]')) {
        // The list is in the document; the next frame puts it on screen.
        requestAnimationFrame(() => setTimeout(() => (window.__shown = performance.now())));
      }
    }).observe(document.body, { childList: true, subtree: true });
    // Letters outside the keyboard layout arrive as text input without key events.
    document.addEventListener('input', (e) => (window.__key = e.timeStamp), true);
  });
  const prefixes = [];
  for (const w of WORDS) prefixes.push(w.slice(0, 2));
  for (const o of OBJECTS) prefixes.push(o.slice(0, 2));
  const samples = [];
  for (let round = 0; round < 2; round++) {
    for (const p of prefixes) {
      await name.fill('');
      await page.evaluate(() => (window.__shown = null));
      await name.pressSequentially(p);
      await page.waitForFunction(() => window.__shown !== null, null, { timeout: 10_000 });
      samples.push(await page.evaluate(() => window.__shown - window.__key));
      await name.press('Escape');
    }
  }
  await page.close();
  return samples.map((t) => t - SUGGEST_DELAY_MS);
}

// Keys typed as a fast typist does (one every 60 ms), like the editor's own keystroke figures.
const MARKUP_TEXT = '(работы + материалы) * 0.15 + доп';
const KEY_GAP_MS = 60;

// Records each typed character's input-to-paint time (to the frame after it) and the
// browser's Event Timing of every interaction that took 16 ms or more (shorter ones it leaves out).
function recordKeys() {
  window.__frames = [];
  window.__events = [];
  new PerformanceObserver((list) => {
    for (const e of list.getEntries()) window.__events.push({ duration: e.duration, id: e.interactionId });
  }).observe({ type: 'event', durationThreshold: 16, buffered: false });
  // Letters outside the keyboard layout come as input events without key events.
  document.addEventListener('input', (e) => {
    const t0 = e.timeStamp;
    requestAnimationFrame(() => setTimeout(() => window.__frames.push(performance.now() - t0)));
  }, true);
}

async function typeAndCollect(page, field) {
  await field.click();
  await page.evaluate(recordKeys);
  await page.keyboard.type(MARKUP_TEXT, { delay: KEY_GAP_MS });
  await page.waitForFunction((n) => window.__frames.length >= n, MARKUP_TEXT.length, { timeout: 60_000 });
  // The browser reports Event Timing entries after the paint that ends them.
  await page.evaluate(() => new Promise((r) => requestAnimationFrame(() => setTimeout(r, 0))));
  const { frames, events } = await page.evaluate(() => ({ frames: window.__frames, events: window.__events }));
  // Entries of one interaction share its id; the longest counts; keys under 16 ms count as 0.
  const slow = new Map();
  events.forEach((e, i) => slow.set(e.id || `solo${i}`, Math.max(slow.get(e.id || `solo${i}`) ?? 0, e.duration)));
  const eventTimes = [...slow.values()];
  while (eventTimes.length < MARKUP_TEXT.length) eventTimes.push(0);
  return { frames, eventTimes };
}

async function markupBench(browser, host) {
  const created = await call(host, 'create_estimate', { objectName: 'Тысяча строк' });
  const full = await call(host, 'get_estimate', { id: created.estimate.id });
  full.lines = Array.from({ length: 1000 }, (_, i) => ({
    estimate_id: created.estimate.id, sort_order: i, line_type: i % 50 === 0 ? 'section' : 'full', name: `Строка ${i + 1}`,
    unit: 'м²', quantity: 1 + (i % 7), unit_price: 100 + i, category: ['work', 'material', 'equipment'][i % 3],
  }));
  await call(host, 'save_estimate', { payload: full });
  // The floor: the same keys typed into a plain field of the estimate list in the same browser.
  let floor;
  const page = await openEditor(browser, host, created.estimate.id, async (list) => {
    floor = await typeAndCollect(list, list.getByTestId('new-estimate-name'));
  });
  // The estimate is open with every line before typing starts.
  await page.waitForFunction(() => Number(document.querySelector('[data-testid="grid"]')?.getAttribute('aria-rowcount')) > 1000, null, { timeout: 120_000 });
  const markup = await typeAndCollect(page, page.getByTestId('markup-field'));
  await page.close();
  return { markup, floor };
}

async function main() {
  const dataDir = mkdtempSync(path.join(tmpdir(), 'calcora-bench-panels-'));
  try {
    // First start makes the schema and the standard catalog; then the big catalog goes in.
    await stopHost(await startHost(dataDir));
    execFileSync('sqlite3', [path.join(dataDir, 'calcora.db')], { input: catalogSql() });
    const host = await startHost(dataDir);
    const browser = await chromium.launch({
      executablePath: process.env.CALCORA_CHROMIUM ?? '/usr/bin/chromium',
      args: ['--headless', '--no-sandbox', '--disable-gpu', '--no-first-run', '--disable-background-networking'],
    });
    try {
      await call(host, 'search_memory', { query: 'Мо' });
      const rawSearch = [];
      for (const w of [...WORDS, ...OBJECTS]) {
        const s = performance.now();
        await call(host, 'search_memory', { query: w.slice(0, 2) });
        rawSearch.push(performance.now() - s);
      }
      const suggest = await suggestionBench(browser, host);
      console.log(`ROW\tname suggestions: 2nd letter to list, less 200 ms pause\t${ITEMS} catalog items\t${median(suggest).toFixed(3)}\t${median(rawSearch).toFixed(3)}`);
      const { markup, floor } = await markupBench(browser, host);
      console.log(`ROW\tmarkup field: keystroke, median (Event Timing)\t1000 lines\t${median(markup.eventTimes).toFixed(3)}\t0`);
      console.log(`ROW\tmarkup field: keystroke, max (Event Timing)\t1000 lines\t${Math.max(...markup.eventTimes).toFixed(3)}\t0`);
      console.log(`ROW\tmarkup field: keystroke to paint, median (rAF)\t1000 lines\t${median(markup.frames).toFixed(3)}\t${median(floor.frames).toFixed(3)}`);
    } finally {
      await browser.close();
      await stopHost(host);
    }
  } finally {
    rmSync(dataDir, { recursive: true, force: true });
  }
}

main().catch((e) => {
  console.error(e);
  process.exit(1);
});
