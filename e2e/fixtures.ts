// Each test gets its own loopback host with a fresh data directory, and a page opened on it.
import { test as base, expect, type APIRequestContext } from '@playwright/test';
import { spawn, type ChildProcess } from 'node:child_process';
import { mkdtempSync, rmSync } from 'node:fs';
import { tmpdir } from 'node:os';
import path from 'node:path';
import { fileURLToPath } from 'node:url';

const here = path.dirname(fileURLToPath(import.meta.url));
const serveBinary = process.env.CALCORA_SERVE ?? path.resolve(here, '../build/calcora-serve');

export interface Host {
  /** Address with the key, as the host printed it. */
  url: string;
  /** Address without the key fragment. */
  origin: string;
  key: string;
  port: number;
  dataDir: string;
  process: ChildProcess;
  /** Runs a command directly, as the page would. */
  invoke<T = unknown>(command: string, args?: object): Promise<T>;
}

/** `env`: extra environment of the host, such as CALCORA_SITE_URL for a test link service. */
export async function startHost(request: APIRequestContext, dataDir?: string, env: Record<string, string> = {}): Promise<Host> {
  const dir = dataDir ?? mkdtempSync(path.join(tmpdir(), 'calcora-e2e-'));
  const child = spawn(serveBinary, ['--port', '0', '--data-dir', dir], {
    stdio: ['ignore', 'pipe', 'pipe'],
    env: { ...process.env, ...env },
  });
  const line = await new Promise<string>((resolve, reject) => {
    let out = '';
    let err = '';
    // Generous: under Wine on a busy machine a start can take several seconds.
    const timer = setTimeout(() => reject(new Error(`calcora-serve did not start: ${err}`)), 60_000);
    child.stdout!.on('data', (chunk: Buffer) => {
      out += chunk.toString();
      const m = /Calcora: (http:\/\/127\.0\.0\.1:\d+\/#key=\S+)/.exec(out);
      if (m) {
        clearTimeout(timer);
        resolve(m[1]);
      }
    });
    child.stderr!.on('data', (chunk: Buffer) => (err += chunk.toString()));
    child.on('exit', (code) => reject(new Error(`calcora-serve exited with ${code}: ${err}`)));
  });
  const url = new URL(line);
  const key = url.hash.replace('#key=', '');
  const origin = `${url.protocol}//${url.host}`;
  return {
    url: line,
    origin,
    key,
    port: Number(url.port),
    dataDir: dir,
    process: child,
    async invoke<T>(command: string, args: object = {}): Promise<T> {
      const res = await request.post(`${origin}/api/invoke/${command}`, {
        headers: { 'X-Calcora-Key': key },
        data: args,
      });
      const text = await res.text();
      if (!res.ok()) throw new Error(text);
      return JSON.parse(text) as T;
    },
  };
}

export async function stopHost(host: Host, removeData = true): Promise<void> {
  if (host.process.exitCode === null) {
    const exited = new Promise((resolve) => host.process.once('exit', resolve));
    host.process.kill('SIGTERM');
    await exited;
  }
  if (removeData) rmSync(host.dataDir, { recursive: true, force: true });
}

export const test = base.extend<{ host: Host }>({
  host: async ({ request }, use) => {
    const host = await startHost(request);
    await use(host);
    await stopHost(host);
  },
  page: async ({ page, host }, use) => {
    await page.goto(host.url);
    await use(page);
  },
});

export { expect };
