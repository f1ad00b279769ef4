// Small rules of the proposal's outputs: the print window's title, the HTML file's name and
// the texts of a failed link request.

import { forceExtension, safeFileName } from '../files/fileNames';
import { safePrintTitle } from '../grid/printTitle';

export const NO_NETWORK = 'нет сети, ссылка не создана';
export const NO_PRINT_WINDOW = 'не открылось окно печати';
export const LOGO_TOO_LARGE = 'логотип больше 500 КБ';
/** 500 × 1024 bytes; a file of exactly this size is still taken. */
export const LOGO_MAX_BYTES = 512_000;

/** The print window's title, which the print dialog offers as the PDF's file name. */
export function printTitle(title: string): string {
  return safePrintTitle(title || 'КП');
}

/** The save dialog's proposed name: the title made a safe file name ("/" and the like cannot be in one). */
export function defaultHtmlName(title: string): string {
  return `${title.trim() === '' ? 'kp' : safeFileName(title)}.html`;
}

/** The chosen path with the extension "html": the file's own extension is replaced, a dot-file keeps its name. */
export function withHtmlExtension(path: string): string {
  return forceExtension(path, 'html');
}

/**
 * A failed publish or revoke as the panel shows it: the desktop's web view puts "Error:" before
 * a rejected message; an empty text means the request never got an answer.
 */
export function linkErrorText(failure: unknown): string {
  const raw = failure instanceof Error ? failure.message : typeof failure === 'string' ? failure : String(failure ?? '');
  const text = raw.replace(/^Error:\s*/, '');
  return text === '' ? NO_NETWORK : text;
}
