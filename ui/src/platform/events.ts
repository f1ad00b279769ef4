// Events from the native side ("global-save", "global-open", "files-dropped" with the
// dropped files' paths) and the close hand-shake.
// The desktop shell calls window.__calcoraEmit; in a browser the page catches Ctrl+S
// and Ctrl+O itself and emits the same events.

import { hostHasDialogs, isDesktop } from './transport';

export type NativeEvent = 'global-save' | 'global-open' | 'files-dropped';
type Listener = (payload: unknown) => void;

declare global {
  interface Window {
    __calcoraEmit?: (name: string, payload: unknown) => void;
    __calcoraBeforeClose?: () => Promise<void>;
  }
}

const listeners = new Map<string, Set<Listener>>();
const closeHandlers = new Set<() => Promise<void> | void>();

export function emit(name: string, payload: unknown = null): void {
  for (const listener of listeners.get(name) ?? []) listener(payload);
}

/** Subscribes to an event; returns the function that unsubscribes. */
export function listen(name: NativeEvent, listener: Listener): () => void {
  let set = listeners.get(name);
  if (!set) listeners.set(name, (set = new Set()));
  set.add(listener);
  return () => set.delete(listener);
}

/** Work that must finish before the window closes (a pending save). */
export function onBeforeClose(handler: () => Promise<void> | void): () => void {
  closeHandlers.add(handler);
  return () => closeHandlers.delete(handler);
}

async function runCloseHandlers(): Promise<void> {
  await Promise.allSettled([...closeHandlers].map((h) => Promise.resolve().then(h)));
}

/** Maps a key press to its shortcut event, or null. Only the press counts, never the release. */
export function shortcutEvent(e: Pick<KeyboardEvent, 'ctrlKey' | 'metaKey' | 'altKey' | 'code' | 'key'>): NativeEvent | null {
  if (!(e.ctrlKey || e.metaKey) || e.altKey) return null;
  // `code` is the physical key, so Ctrl+S works with the Russian layout too (Ctrl+Ы).
  if (e.code === 'KeyS' || e.key.toLowerCase() === 's') return 'global-save';
  if (e.code === 'KeyO' || e.key.toLowerCase() === 'o') return 'global-open';
  return null;
}

/**
 * A file dropped onto a browser window would replace the page with the file (or download it).
 * The desktop program's browser window refuses drops instead: a web page never learns a dropped
 * file's path, so it cannot open it the way the desktop window does.
 */
function refuseFileDrops(): void {
  window.addEventListener('dragover', (e) => {
    if (e.defaultPrevented) return; // a drop zone of the page takes it
    e.preventDefault();
    if (e.dataTransfer) e.dataTransfer.dropEffect = 'none';
  });
  window.addEventListener('drop', (e) => e.preventDefault());
}

export function installEventBridge(): void {
  window.__calcoraEmit = emit;
  window.__calcoraBeforeClose = runCloseHandlers;
  if (hostHasDialogs()) refuseFileDrops();
  if (!isDesktop()) {
    window.addEventListener('keydown', (e) => {
      const event = shortcutEvent(e);
      if (!event) return;
      e.preventDefault();
      emit(event, null);
    });
  }
}
