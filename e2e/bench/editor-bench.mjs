// Benchmark of the editor page in Chromium against the loopback host, with 1,000- and
// 10,000-line estimates (a tenth of the lines with quantity formulas): time to open the
// editor until the grid takes input and until its last row does, keystroke responsiveness by
// the browser's Event Timing (input to next paint) while typing into a name and a quantity
// cell, long tasks while scrolling from top to bottom, a paste of 10,000 rows, and the page's
// memory beside a 100-line estimate's. Prints ROW lines for bench/run.sh and a summary on stderr.
import { chromium } from '@playwright/test';
import { spawn } from 'node:child_process';
import { mkdtempSync, rmSync } from 'node:fs';
import { tmpdir } from 'node:os';
import path from 'node:path';
import { fileURLToPath } from 'node:url';

const here = path.dirname(fileURLToPath(import.meta.url));
const serveBinary = process.env.CALCORA_SERVE ?? path.resolve(here, '../../build/calcora-serve');
// CALCORA_BENCH_SIZES=1000 runs one size only (a quick look while working).
const SIZES = (process.env.CALCORA_BENCH_SIZES ?? '1000,10000').split(',').map(Number);
/** The small estimate whose page memory the others are set beside. */
const SMALL = 100;
const KEYS = 'Штукатурка стен 2 слоя';
// Keys outside the US layout reach the page as input without key events: only these give keydowns.
const KEYDOWNS = [...KEYS].filter((ch) => ch >= ' ' && ch <= '~').length;

function startHost() {
  const dir = mkdtempSync(path.join(tmpdir(), 'calcora-bench-'));
  const child = spawn(serveBinary, ['--port', '0', '--data-dir', dir], { stdio: ['ignore', 'pipe', 'inherit'] });
  return new Promise((resolve, reject) => {
    let out = '';
    const timer = setTimeout(() => reject(new Error('calcora-serve did not start')), 20_000);
    child.stdout.on('data', (chunk) => {
      out += chunk.toString();
      const m = /Calcora: (http:\/\/127\.0\.0\.1:\d+\/#key=(\S+))/.exec(out);
      if (m) {
        clearTimeout(timer);
        const url = new URL(m[1]);
        resolve({ url: m[1], origin: `${url.protocol}//${url.host}`, key: m[2], dir, child });
      }
    });
    child.on('exit', (code) => reject(new Error(`calcora-serve exited with ${code}`)));
  });
}

async function invoke(host, command, args) {
  const res = await fetch(`${host.origin}/api/invoke/${command}`, {
    method: 'POST',
    headers: { 'X-Calcora-Key': host.key, 'Content-Type': 'application/json' },
    body: JSON.stringify(args),
  });
  const text = await res.text();
  if (!res.ok) throw new Error(`${command}: ${text}`);
  return JSON.parse(text);
}

const CATEGORIES = ['work', 'material', 'equipment'];
async function seed(host, count) {
  const { estimate } = await invoke(host, 'create_estimate', { objectName: `Объект на ${count} строк` });
  const full = await invoke(host, 'get_estimate', { id: estimate.id });
  full.lines = Array.from({ length: count }, (_, i) =>
    i % 50 === 0
      ? { estimate_id: estimate.id, sort_order: i, line_type: 'section', name: `Раздел ${i / 50 + 1}`, unit: '', category: 'work' }
      : {
          estimate_id: estimate.id, sort_order: i, line_type: 'full', name: `Позиция ${i} — кладка, материалы и работа`,
          unit: 'м²', quantity: (i % 17) + 1, unit_price: 100 + (i % 23) * 10, category: CATEGORIES[i % 3],
        },
  );
  let saved = await invoke(host, 'save_estimate', { payload: full });
  // A tenth of the lines take their quantity from the line above.
  saved.lines = saved.lines.map((l, i) =>
    i % 10 === 5 && saved.lines[i - 1].id != null ? { ...l, formula: `line:${saved.lines[i - 1].id}.qty * 1.1 + 2` } : l,
  );
  saved = await invoke(host, 'save_estimate', { payload: saved });
  return estimate.id;
}

const median = (xs) => {
  if (xs.length === 0) return 0;
  const s = [...xs].sort((a, b) => a - b);
  return s[Math.floor((s.length - 1) / 2)];
};

/** Input to next paint of the same keys typed into a plain field of the page (the list's name field): the floor. */
async function plainFieldKeys(page) {
  await page.evaluate(() => {
    window.__floor = [];
    window.addEventListener('keydown', (e) => {
      const start = e.timeStamp;
      requestAnimationFrame(() => setTimeout(() => window.__floor.push(performance.now() - start), 0));
    }, true);
  });
  const field = page.getByTestId('new-estimate-name');
  await field.click();
  await page.keyboard.type(KEYS, { delay: 60 });
  // Every key's figure is in once its paint has come.
  await page.waitForFunction((n) => window.__floor.length >= n, KEYDOWNS, { timeout: 60_000 });
  await field.fill('');
  return median(await page.evaluate(() => window.__floor));
}

/**
 * From the click on the estimate in the list: until the first row's name field takes input and
 * a frame is painted (the grid is interactive), and until the last row's name field, reached by
 * scrolling the grid to its end, has the keyboard; with the longest task meanwhile.
 */
async function openTime(page, id, count) {
  await page.locator(`[data-id="${id}"] a`).waitFor();
  return page.evaluate(async ({ id, count }) => {
    const long = [];
    const observer = new PerformanceObserver((list) => {
      for (const e of list.getEntries()) long.push(e.duration);
    });
    observer.observe({ type: 'longtask', buffered: false });
    const link = document.querySelector(`[data-id="${id}"] a`);
    const t0 = performance.now();
    link.click();
    const painted = () => new Promise((r) => requestAnimationFrame(() => setTimeout(r, 0)));
    const until = (done) =>
      new Promise((resolve) => {
        const check = () => (done() ? resolve() : requestAnimationFrame(check));
        check();
      });
    await until(() => document.querySelector('[data-testid="grid-row"] [data-testid="name-cell"]') !== null);
    await painted();
    const interactive = performance.now() - t0;
    // The estimate opens with an empty line after its lines: row `count` is the last.
    const scroller = document.querySelector('[data-testid="grid-scroller"]');
    const last = () => document.querySelector(`[data-row="${count}"] [data-testid="name-cell"]`);
    scroller.scrollTop = scroller.scrollHeight;
    await until(() => last() !== null);
    last().focus();
    await painted();
    const complete = performance.now() - t0;
    observer.disconnect();
    return { interactive, complete, longest: long.length ? Math.max(...long) : 0 };
  }, { id, count });
}

/** Brings row `row` into the grid's view by scrolling (it is drawn only once it is near). */
async function scrollToRow(page, row) {
  await page.evaluate(async (row) => {
    const scroller = document.querySelector('[data-testid="grid-scroller"]');
    const total = Number(document.querySelector('[data-testid="grid"]').getAttribute('aria-rowcount')) - 1;
    const found = () => document.querySelector(`[data-row="${row}"]`);
    for (let i = 0; i < 100 && !found(); i++) {
      scroller.scrollTop = (scroller.scrollHeight * row) / total - scroller.clientHeight / 2;
      await new Promise((r) => requestAnimationFrame(() => setTimeout(r, 0)));
    }
  }, row);
}

/** The page's JavaScript heap after a garbage collection, in MB, and its DOM nodes. */
async function pageMemory(page) {
  const cdp = await page.context().newCDPSession(page);
  await cdp.send('HeapProfiler.collectGarbage');
  const { usedSize } = await cdp.send('Runtime.getHeapUsage');
  await cdp.send('Performance.enable');
  const { metrics } = await cdp.send('Performance.getMetrics');
  await cdp.detach();
  return { heapMb: usedSize / 1048576, nodes: metrics.find((m) => m.name === 'Nodes')?.value ?? 0 };
}

/** What the estimate's own records take in the page's heap: a parsed copy of them, held. */
async function linesDataMb(page, host, id) {
  const text = JSON.stringify(await invoke(host, 'get_estimate', { id }));
  const before = (await pageMemory(page)).heapMb;
  await page.evaluate((t) => (window.__copy = JSON.parse(t)), text);
  const after = (await pageMemory(page)).heapMb;
  await page.evaluate(() => delete window.__copy);
  return Math.max(0, after - before);
}

/** Opens an estimate in a fresh page and waits until the page is idle. */
async function openedPage(browser, host, id) {
  const context = await browser.newContext({ viewport: { width: 1280, height: 800 }, locale: 'ru-RU' });
  const page = await context.newPage();
  await page.goto(host.url);
  await page.locator(`[data-id="${id}"] a`).click();
  await page.getByTestId('grid-row').first().waitFor();
  await page.evaluate(() => new Promise((r) => requestIdleCallback(() => r(), { timeout: 10_000 })));
  return { context, page };
}

async function measure(page, host, id, count) {
  await page.evaluate(() => {
    window.__events = [];
    window.__paints = [];
    new PerformanceObserver((list) => {
      for (const e of list.getEntries()) if (e.name === 'keydown' || e.name === 'keypress' || e.name === 'input') window.__events.push({ name: e.name, duration: e.duration, id: e.interactionId });
    }).observe({ type: 'event', durationThreshold: 16, buffered: false });
    // Our own input-to-paint figure for every key (Event Timing reports only those over 16 ms).
    window.addEventListener('keydown', (e) => {
      const start = e.timeStamp;
      requestAnimationFrame(() => setTimeout(() => window.__paints.push(performance.now() - start), 0));
    }, true);
  });
  const row = Math.floor(count / 2) + 1;
  await scrollToRow(page, row);
  const name = page.locator(`[data-row="${row}"]`).getByTestId('name-cell');
  await name.click();
  await name.press('End');
  await page.keyboard.type(KEYS, { delay: 60 });
  const qty = page.locator(`[data-row="${row + 1}"]`).getByLabel('Объем', { exact: true });
  await qty.click();
  await qty.press('End');
  await page.keyboard.type('1234567890', { delay: 60 });
  // Every key has painted; the browser reports its Event Timing entries after that paint.
  await page.waitForFunction((n) => window.__paints.length >= n, KEYDOWNS + 10, { timeout: 60_000 });
  await page.evaluate(() => new Promise((r) => requestAnimationFrame(() => setTimeout(r, 0))));
  const { events, paints } = await page.evaluate(() => ({ events: window.__events, paints: window.__paints }));
  const keys = KEYS.length + 10;
  // Event Timing entries of one interaction share its id; the longest counts.
  const byInteraction = new Map();
  for (const e of events) byInteraction.set(e.id || Math.random(), Math.max(byInteraction.get(e.id) ?? 0, e.duration));
  const slow = [...byInteraction.values()];
  const slowAll = slow.concat(Array(Math.max(0, keys - slow.length)).fill(0));
  const eventMedian = median(slowAll);

  // Long tasks while scrolling the grid from top to bottom.
  await page.evaluate(() => {
    window.__long = [];
    new PerformanceObserver((list) => {
      for (const e of list.getEntries()) window.__long.push(e.duration);
    }).observe({ type: 'longtask', buffered: false });
  });
  const scroller = page.getByTestId('grid-scroller');
  await scroller.evaluate((el) => (el.scrollTop = 0));
  const box = await scroller.boundingBox();
  await page.mouse.move(box.x + box.width / 2, box.y + box.height / 2);
  // Rows are measured as they are drawn, so the list's height may grow on the way down: the
  // wheel turns until the end is reached (with a generous cap).
  const atEnd = () => scroller.evaluate((el) => el.scrollTop + el.clientHeight >= el.scrollHeight - 2);
  let turns = 0;
  const maxTurns = Math.ceil((await scroller.evaluate((el) => el.scrollHeight)) / 800) * 3;
  while (!(await atEnd()) && turns++ < maxTurns) {
    await page.mouse.wheel(0, 800);
    await page.evaluate(() => new Promise((r) => requestAnimationFrame(() => r())));
  }
  const atBottom = await atEnd();
  // The last scroll's work is over once the page is idle.
  await page.evaluate(() => new Promise((r) => requestIdleCallback(() => r(), { timeout: 10_000 })));
  const long = await page.evaluate(() => window.__long);

  // A paste of 10,000 spreadsheet rows into the first line's name: the block fills the grid
  // from there, as a spreadsheet pastes, and rows past the last line become new lines. Timed
  // from the paste until the next frame is painted, and until the last pasted row (row 9,999),
  // reached by scrolling, has the keyboard.
  await scroller.evaluate((el) => (el.scrollTop = 0));
  const paste = await page.evaluate(async () => {
    const long = [];
    const observer = new PerformanceObserver((list) => {
      for (const e of list.getEntries()) long.push(e.duration);
    });
    observer.observe({ type: 'longtask', buffered: false });
    const rows = Array.from({ length: 10000 }, (_, i) => `Вставка ${i}\tм\t${i % 9},5\t1 2${i % 10}0`).join('\r\n');
    // Back at the top, the first row is drawn in the next frames.
    const firstRow = () => document.querySelector('[data-row="0"] [data-testid="name-cell"]');
    while (!firstRow()) await new Promise((r) => requestAnimationFrame(r));
    const field = firstRow();
    field.focus();
    const data = new DataTransfer();
    data.setData('text/plain', rows);
    const t0 = performance.now();
    field.dispatchEvent(new ClipboardEvent('paste', { clipboardData: data, bubbles: true, cancelable: true }));
    const painted = () => new Promise((r) => requestAnimationFrame(() => setTimeout(r, 0)));
    await painted();
    const untilPainted = performance.now() - t0;
    const scroller = document.querySelector('[data-testid="grid-scroller"]');
    const total = Number(document.querySelector('[data-testid="grid"]').getAttribute('aria-rowcount')) - 1;
    const lastPasted = () => document.querySelector('[data-row="9999"] [data-testid="name-cell"]');
    while (!lastPasted()) {
      scroller.scrollTop = (scroller.scrollHeight * 9999) / total - scroller.clientHeight / 2;
      await new Promise((r) => requestAnimationFrame(r));
    }
    lastPasted().focus();
    await painted();
    observer.disconnect();
    return { untilPainted, complete: performance.now() - t0, longest: long.length ? Math.max(...long) : 0, name: lastPasted().value };
  });
  if (paste.name !== 'Вставка 9999') throw new Error(`the last pasted row reads "${paste.name}"`);

  return {
    pasteMs: paste.untilPainted,
    pasteAllMs: paste.complete,
    pasteLongest: paste.longest,
    keyMedianEventTiming: eventMedian,
    keysOver16: slow.filter((d) => d > 16).length,
    keysOver33: slow.filter((d) => d > 33).length,
    keyMaxEventTiming: slow.length ? Math.max(...slow) : 0,
    keyMedianPaint: median(paints),
    keyMaxPaint: paints.length ? Math.max(...paints) : 0,
    keys,
    longTasks: long.length,
    longTaskMax: long.length ? Math.max(...long) : 0,
    atBottom,
  };
}

const host = await startHost();
const browser = await chromium.launch({
  executablePath: process.env.CALCORA_CHROMIUM ?? '/usr/bin/chromium',
  args: ['--headless', '--no-sandbox', '--disable-gpu', '--disable-quic', '--no-first-run', '--disable-background-networking', '--disable-component-update', '--disable-sync'],
});
try {
  // The page's memory with a small estimate, beside which the long ones' are set.
  const smallId = await seed(host, SMALL);
  const small = await openedPage(browser, host, smallId);
  const smallMemory = await pageMemory(small.page);
  await small.context.close();
  for (const count of SIZES) {
    const id = await seed(host, count);
    const opened = await openedPage(browser, host, id);
    const memory = await pageMemory(opened.page);
    const dataMb = await linesDataMb(opened.page, host, id);
    await opened.context.close();
    // Each opening in a fresh page (the store of a page would first finish the last one's
    // saving); the median of three, then keystrokes and scrolling in the last page.
    const opens = [];
    let floorKey = 0;
    let context;
    let page;
    for (let i = 0; i < 3; i++) {
      if (context) await context.close();
      context = await browser.newContext({ viewport: { width: 1280, height: 800 }, locale: 'ru-RU' });
      page = await context.newPage();
      await page.goto(host.url);
      if (i === 2) floorKey = await plainFieldKeys(page);
      opens.push(await openTime(page, id, count));
    }
    const byInteractive = [...opens].sort((a, b) => a.interactive - b.interactive);
    const open = byInteractive[Math.floor((byInteractive.length - 1) / 2)];
    const r = {
      openMs: open.interactive,
      openAllMs: median(opens.map((o) => o.complete)),
      openLongest: median(opens.map((o) => o.longest)),
      ...(await measure(page, host, id, count)),
    };
    await context.close();
    const size = `${count} lines`;
    const rows = [
      ['editor page: open until the grid takes input', r.openMs],
      ['editor page: open until the last row takes input', r.openAllMs],
      ['editor page: longest task while opening', r.openLongest],
      ['editor page: keystroke, median (Event Timing)', r.keyMedianEventTiming],
      ['editor page: keystroke, max (Event Timing)', r.keyMaxEventTiming],
      ['editor page: keystroke to paint, median (rAF)', r.keyMedianPaint, floorKey],
      ['editor page: keystroke to paint, max (rAF)', r.keyMaxPaint],
      ['editor page: longest task while scrolling', r.longTaskMax],
      ['editor page: paste of 10,000 rows until painted', r.pasteMs],
      ['editor page: paste of 10,000 rows until the last takes input', r.pasteAllMs],
      ['editor page: longest task of the paste', r.pasteLongest],
      // Floor: the page with a 100-line estimate plus what these lines' own records take.
      [`editor page: JS heap, MB (${smallMemory.heapMb.toFixed(1)} at ${SMALL} lines)`, memory.heapMb, smallMemory.heapMb + dataMb],
      [`editor page: DOM nodes (${smallMemory.nodes} at ${SMALL} lines)`, memory.nodes, smallMemory.nodes],
    ];
    for (const [op, ms, floor = 0] of rows) console.log(`ROW\t${op}\t${size}\t${ms.toFixed(3)}\t${floor.toFixed(3)}`);
    console.error(
      `${size}: open ${r.openMs.toFixed(0)} ms (last row ${r.openAllMs.toFixed(0)} ms, longest task ${r.openLongest.toFixed(0)} ms); ${r.keys} keys, ${r.keysOver16} over 16 ms, ${r.keysOver33} over 33 ms ` +
        `(Event Timing max ${r.keyMaxEventTiming.toFixed(0)} ms); paint median ${r.keyMedianPaint.toFixed(1)} ms, max ${r.keyMaxPaint.toFixed(1)} ms; ` +
        `plain field ${floorKey.toFixed(1)} ms; scrolling: ${r.longTasks} long tasks, longest ${r.longTaskMax.toFixed(0)} ms${r.atBottom ? '' : ' (did not reach the bottom)'}; ` +
        `paste of 10,000 rows: painted after ${r.pasteMs.toFixed(0)} ms, last row takes input after ${r.pasteAllMs.toFixed(0)} ms, longest task ${r.pasteLongest.toFixed(0)} ms; ` +
        `JS heap ${memory.heapMb.toFixed(1)} MB (${SMALL} lines: ${smallMemory.heapMb.toFixed(1)} MB, the lines' own records ${dataMb.toFixed(1)} MB), DOM nodes ${memory.nodes} (${smallMemory.nodes})`,
    );
  }
} finally {
  await browser.close();
  host.child.kill('SIGTERM');
  await new Promise((r) => host.child.once('exit', r));
  rmSync(host.dir, { recursive: true, force: true });
}
