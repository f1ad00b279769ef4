// The proposal link service for the browser walks: the real program (build/calcora-link) on
// 127.0.0.1 and a free port, over SQLite in a fresh folder, or over PostgreSQL in a fresh
// schema when CALCORA_TEST_POSTGRES names a database. The loopback host reaches it through
// CALCORA_SITE_URL with a ticket made by "calcora-link ticket add".
import { execFileSync, spawn, type ChildProcess } from 'node:child_process';
import { randomBytes } from 'node:crypto';
import { mkdtempSync, rmSync } from 'node:fs';
import { tmpdir } from 'node:os';
import path from 'node:path';
import { fileURLToPath } from 'node:url';
import { test as base, startHost, stopHost, type Host } from './fixtures';

const here = path.dirname(fileURLToPath(import.meta.url));
const linkBinary = process.env.CALCORA_LINK ?? path.resolve(here, '../build/calcora-link');

export interface PollReply {
  status: number;
  body: { comments?: unknown; decision?: unknown; snapshot?: unknown; reason?: string };
}

export interface LinkService {
  /** "http://127.0.0.1:<port>": the value for CALCORA_SITE_URL. */
  base: string;
  /** The ticket the host publishes with. */
  ticket: string;
  /** What the program's poll reads for a token. */
  poll(token: string): Promise<PollReply>;
  /** Withdraws a publication as another program of the same account would. */
  revoke(token: string): Promise<void>;
  stop(): Promise<void>;
}

function storage(): { args: string[]; cleanup: () => void } {
  const conninfo = process.env.CALCORA_TEST_POSTGRES;
  if (conninfo) {
    const schema = `e2e_${randomBytes(6).toString('hex')}`;
    execFileSync('psql', [conninfo, '-qc', `CREATE SCHEMA ${schema}`]);
    return {
      args: ['--postgres', `${conninfo} options='-csearch_path=${schema}'`],
      cleanup: () => execFileSync('psql', [conninfo, '-qc', `DROP SCHEMA ${schema} CASCADE`]),
    };
  }
  const dir = mkdtempSync(path.join(tmpdir(), 'calcora-link-e2e-'));
  return { args: ['--data', path.join(dir, 'link.db')], cleanup: () => rmSync(dir, { recursive: true, force: true }) };
}

export async function startLinkService(): Promise<LinkService> {
  const store = storage();
  const added = execFileSync(linkBinary, ['ticket', 'add', 'e2e', ...store.args], { encoding: 'utf8' });
  const ticket = added.trim().split('\n').pop()!;
  const child: ChildProcess = spawn(linkBinary, ['serve', '--listen', '127.0.0.1:0', ...store.args], {
    stdio: ['ignore', 'pipe', 'pipe'],
  });
  const baseUrl = await new Promise<string>((resolve, reject) => {
    let out = '';
    let err = '';
    const timer = setTimeout(() => reject(new Error(`calcora-link did not start: ${err}`)), 15_000);
    child.stdout!.on('data', (chunk: Buffer) => {
      out += chunk.toString();
      const m = /^Calcora link: (http:\/\/127\.0\.0\.1:\d+)$/m.exec(out);
      if (m) {
        clearTimeout(timer);
        resolve(m[1]);
      }
    });
    child.stderr!.on('data', (chunk: Buffer) => (err += chunk.toString()));
    child.on('exit', (code) => reject(new Error(`calcora-link exited with ${code}: ${err}`)));
  });
  return {
    base: baseUrl,
    ticket,
    async poll(token) {
      const res = await fetch(`${baseUrl}/api/proposals/${token}`);
      return { status: res.status, body: (await res.json()) as PollReply['body'] };
    },
    async revoke(token) {
      const res = await fetch(`${baseUrl}/api/proposals`, {
        method: 'POST',
        headers: { 'Content-Type': 'application/json' },
        body: JSON.stringify({ ticket, token, revoke: true }),
      });
      if (!res.ok) throw new Error(`revoke answered ${res.status}: ${await res.text()}`);
    },
    async stop() {
      if (child.exitCode === null) {
        const exited = new Promise((resolve) => child.once('exit', resolve));
        child.kill('SIGTERM');
        await exited;
      }
      store.cleanup();
    },
  };
}

/** The fixtures with a link service of the test's own, which the host reaches with its ticket. */
export const test = base.extend<{ service: LinkService; host: Host }>({
  // eslint-disable-next-line no-empty-pattern -- Playwright reads the fixtures a fixture needs from this pattern
  service: async ({}, use) => {
    const service = await startLinkService();
    await use(service);
    await service.stop();
  },
  host: async ({ request, service }, use) => {
    const host = await startHost(request, undefined, { CALCORA_SITE_URL: `${service.base}/` });
    await host.invoke('proposal_ticket_set', { ticket: service.ticket });
    await use(host);
    await stopHost(host);
  },
});
