// The one way the page reaches the native side. In the desktop window commands travel
// over the web view's message channel; in a browser served by the loopback host they
// are POSTed to /api/invoke/<command> with the per-run key. When the desktop program itself
// opened the browser (its address carries "shell=app"), the host also shows native dialogs.

type WebKitHandler = { postMessage(message: string): Promise<unknown> };
type WebKitBridge = { messageHandlers?: Record<string, WebKitHandler | undefined> };

declare global {
  interface Window {
    webkit?: WebKitBridge;
  }
}

const KEY_STORAGE = 'calcora.serveKey';
const SHELL_STORAGE = 'calcora.serveShell';
const KEEPALIVE_LIMIT = 60_000;

export function desktopHandler(name: string): WebKitHandler | undefined {
  return window.webkit?.messageHandlers?.[name];
}

export function isDesktop(): boolean {
  return desktopHandler('calcora') !== undefined;
}

/** Takes the key (and the shell mark) out of the address once, keeping them for this tab. */
function readLaunchAddress(): void {
  const hash = window.location.hash;
  const match = /(?:^#|&)key=([^&]+)/.exec(hash);
  if (!match) return;
  sessionStorage.setItem(KEY_STORAGE, decodeURIComponent(match[1]));
  if (/(?:^#|&)shell=app(?:&|$)/.test(hash)) sessionStorage.setItem(SHELL_STORAGE, 'app');
  history.replaceState(history.state, '', window.location.pathname + window.location.search);
}

/** The loopback host's key: read from "#key=..." once, then kept for this tab. */
export function serveKey(): string {
  readLaunchAddress();
  return sessionStorage.getItem(KEY_STORAGE) ?? '';
}

/** True in the desktop program's browser window, whose host shows the platform's dialogs. */
export function hostHasDialogs(): boolean {
  readLaunchAddress();
  return !isDesktop() && sessionStorage.getItem(SHELL_STORAGE) === 'app';
}

/** The failure text of a command, exactly as the native side worded it. */
export class CommandFailure extends Error {
  constructor(message: string) {
    super(message);
    this.name = 'CommandFailure';
  }
}

function errorText(reason: unknown): string {
  if (typeof reason === 'string') return reason;
  if (reason instanceof Error) return reason.message;
  return String(reason);
}

async function invokeDesktop(command: string, args: object): Promise<unknown> {
  const handler = desktopHandler('calcora')!;
  let reply: unknown;
  try {
    reply = await handler.postMessage(JSON.stringify({ command, args }));
  } catch (reason) {
    throw new CommandFailure(errorText(reason));
  }
  // Replies are JSON text: WebKit converts text far faster than object graphs.
  return JSON.parse(String(reply));
}

/** POSTs a JSON body to one of the loopback host's routes; the answer's JSON, or its error text. */
export async function postToHost(route: string, body: object): Promise<unknown> {
  const payload = JSON.stringify(body);
  let response: Response;
  try {
    response = await fetch(route, {
      method: 'POST',
      headers: { 'Content-Type': 'application/json', 'X-Calcora-Key': serveKey() },
      body: payload,
      // A save sent as the window closes (the page is hidden by then) still reaches the host;
      // browsers carry such requests only up to 64 KB.
      keepalive: document.visibilityState === 'hidden' && payload.length < KEEPALIVE_LIMIT,
    });
  } catch (reason) {
    throw new CommandFailure(`нет связи с Calcora: ${errorText(reason)}`);
  }
  const text = await response.text();
  if (!response.ok) throw new CommandFailure(text);
  return JSON.parse(text);
}

function invokeLoopback(command: string, args: object): Promise<unknown> {
  return postToHost(`/api/invoke/${encodeURIComponent(command)}`, args);
}

/**
 * Runs a native command. Resolves with its JSON result; rejects with a CommandFailure
 * whose message is the command's error text.
 */
export function invoke<T>(command: string, args: object = {}): Promise<T> {
  const run = isDesktop() ? invokeDesktop : invokeLoopback;
  return run(command, args) as Promise<T>;
}
