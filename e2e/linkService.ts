// A proposal link service on 127.0.0.1 for the browser walks, reached by the loopback host
// through CALCORA_SITE_URL. It keeps publications in memory, requires its one ticket, and
// lets a test put a customer's decision and comments on a publication.
import { createServer, type IncomingMessage, type Server, type ServerResponse } from 'node:http';
import type { AddressInfo } from 'node:net';
import { test as base, startHost, stopHost, type Host } from './fixtures';

export const TEST_TICKET = 'ticket-e2e-1';

export interface Publication {
  snapshot: unknown;
  comments: unknown;
  decision: unknown;
  revoked: boolean;
}

export interface RecordedRequest {
  method: string;
  path: string;
  body: string;
}

export interface LinkService {
  /** "http://127.0.0.1:<port>": the value for CALCORA_SITE_URL. */
  base: string;
  publications: Map<string, Publication>;
  requests: RecordedRequest[];
  setFeedback(token: string, comments: unknown, decision: unknown): void;
  stop(): Promise<void>;
}

function reply(res: ServerResponse, status: number, body: unknown): void {
  res.writeHead(status, { 'Content-Type': 'application/json', Connection: 'close' });
  res.end(JSON.stringify(body));
}

function readBody(req: IncomingMessage): Promise<string> {
  return new Promise((resolve, reject) => {
    const chunks: Buffer[] = [];
    req.on('data', (c: Buffer) => chunks.push(c));
    req.on('end', () => resolve(Buffer.concat(chunks).toString('utf8')));
    req.on('error', reject);
  });
}

export async function startLinkService(): Promise<LinkService> {
  const publications = new Map<string, Publication>();
  const requests: RecordedRequest[] = [];
  let next = 1;

  const post = (res: ServerResponse, text: string) => {
    let body: Record<string, unknown>;
    try {
      body = JSON.parse(text) as Record<string, unknown>;
    } catch {
      return reply(res, 400, { ok: false, reason: 'тело запроса не JSON' });
    }
    if (body.ticket !== TEST_TICKET) return reply(res, 403, { ok: false, reason: 'ключ доступа не принят' });
    const token = typeof body.token === 'string' ? body.token : null;
    const known = token ? publications.get(token) : undefined;
    if (body.revoke === true) {
      if (!known || known.revoked) return reply(res, 404, { ok: false, reason: 'публикация не найдена' });
      known.revoked = true;
      return reply(res, 200, { ok: true });
    }
    let key = token;
    if (!known || known.revoked) {
      key = `kp${next++}`;
      publications.set(key, { snapshot: null, comments: [], decision: null, revoked: false });
    }
    publications.get(key!)!.snapshot = body.snapshot;
    reply(res, 200, { ok: true, token: key });
  };

  const get = (res: ServerResponse, token: string) => {
    const p = publications.get(token);
    if (!p) return reply(res, 404, { reason: 'публикация не найдена' });
    if (p.revoked) return reply(res, 410, { revoked: true });
    reply(res, 200, { comments: p.comments, decision: p.decision, snapshot: p.snapshot });
  };

  const server: Server = createServer((req, res) => {
    void readBody(req).then((body) => {
      const path = req.url ?? '';
      requests.push({ method: req.method ?? '', path, body });
      if (req.method === 'POST' && path === '/api/proposals') return post(res, body);
      const poll = /^\/api\/proposals\/(.+)$/.exec(path);
      if (req.method === 'GET' && poll) return get(res, decodeURIComponent(poll[1]));
      reply(res, 404, { reason: 'нет такого адреса' });
    });
  });
  await new Promise<void>((resolve) => server.listen(0, '127.0.0.1', resolve));
  const { port } = server.address() as AddressInfo;

  return {
    base: `http://127.0.0.1:${port}`,
    publications,
    requests,
    setFeedback(token, comments, decision) {
      const p = publications.get(token);
      if (!p) throw new Error(`no publication ${token}`);
      p.comments = comments;
      p.decision = decision;
    },
    stop: () => new Promise<void>((resolve) => server.close(() => resolve())),
  };
}

/** The fixtures with a link service of the test's own, which the host reaches with the test ticket. */
export const test = base.extend<{ service: LinkService; host: Host }>({
  // eslint-disable-next-line no-empty-pattern -- Playwright reads the fixtures a fixture needs from this pattern
  service: async ({}, use) => {
    const service = await startLinkService();
    await use(service);
    await service.stop();
  },
  host: async ({ request, service }, use) => {
    const host = await startHost(request, undefined, { CALCORA_SITE_URL: `${service.base}/` });
    await host.invoke('proposal_ticket_set', { ticket: TEST_TICKET });
    await use(host);
    await stopHost(host);
  },
});
