// Message, confirmation, open-file and save-file dialogs. The desktop window shows the
// platform's own, and so does the desktop program that shows the page in a browser's
// application window (through its loopback host); in any other browser the page shows small
// modal forms of its own (DialogHost), which tests drive like a user.

import { desktopHandler, hostHasDialogs, isDesktop, postToHost } from './transport';

export interface FileFilter {
  name: string;
  extensions: string[];
}

export interface FileDialogOptions {
  title?: string;
  /** Proposed file name (save dialogs). */
  defaultName?: string;
  /** The folder the dialog starts in (save dialogs). */
  folder?: string;
  filters?: FileFilter[];
}

export type DialogRequest =
  | { kind: 'alert'; message: string }
  | { kind: 'confirm'; message: string }
  | { kind: 'open'; options: FileDialogOptions }
  | { kind: 'save'; options: FileDialogOptions };

/** What the page's own dialog host answers: undefined for alert, boolean for confirm, path or null for files. */
export type DialogAnswer = boolean | string | null | undefined;
type Presenter = (request: DialogRequest) => Promise<DialogAnswer>;

let presenter: Presenter | null = null;

/** A file name inside a folder, with the separator the folder itself uses. */
export function pathInFolder(folder: string, name: string): string {
  if (folder === '') return name;
  const sep = folder.includes('\\') && !folder.includes('/') ? '\\' : '/';
  return folder.endsWith(sep) ? folder + name : folder + sep + name;
}

/** The page's dialog host registers itself here (browser only). */
export function setDialogPresenter(p: Presenter | null): void {
  presenter = p;
}

function present(request: DialogRequest): Promise<DialogAnswer> {
  if (!presenter) return Promise.reject(new Error('dialog host is not mounted'));
  return presenter(request);
}

async function nativeFileDialog(kind: 'open' | 'save', options: FileDialogOptions): Promise<string | null> {
  const request = { kind, ...options };
  const path = hostHasDialogs()
    ? ((await postToHost('/api/dialog', request)) as string | null)
    : (JSON.parse(String(await desktopHandler('calcoraDialog')!.postMessage(JSON.stringify(request)))) as string | null);
  return path || null;
}

/** True where the platform's own dialogs are shown; their save dialog asks before replacing a file. */
export function hasNativeDialogs(): boolean {
  return isDesktop() || hostHasDialogs();
}

export async function showMessage(message: string): Promise<void> {
  if (isDesktop()) {
    window.alert(message);
    return;
  }
  if (hostHasDialogs()) {
    await postToHost('/api/dialog', { kind: 'alert', message });
    return;
  }
  await present({ kind: 'alert', message });
}

export async function askConfirm(message: string): Promise<boolean> {
  if (isDesktop()) return window.confirm(message);
  if (hostHasDialogs()) return (await postToHost('/api/dialog', { kind: 'confirm', message })) === true;
  return (await present({ kind: 'confirm', message })) === true;
}

/** Asks for a file to open; null when the user cancels. */
export async function pickOpenFile(options: FileDialogOptions = {}): Promise<string | null> {
  if (hasNativeDialogs()) return nativeFileDialog('open', options);
  const answer = await present({ kind: 'open', options });
  return typeof answer === 'string' && answer ? answer : null;
}

/** Asks where to save; null when the user cancels. */
export async function pickSaveFile(options: FileDialogOptions = {}): Promise<string | null> {
  if (hasNativeDialogs()) return nativeFileDialog('save', options);
  const answer = await present({ kind: 'save', options });
  return typeof answer === 'string' && answer ? answer : null;
}
