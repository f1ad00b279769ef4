// The two file outputs of the proposal: a print window (the user saves a PDF from the
// system's print dialog) and an HTML file chosen in the save dialog.

import { chooseSavePath } from '../../../files/savePlace';
import { invoke } from '../../../platform';
import { defaultHtmlName, printTitle, withHtmlExtension } from '../../../proposal';

/** Opens the document in a new window and asks it to print; false when no window could be opened. */
export function printInNewWindow(html: string, title: string): boolean {
  const win = window.open('', '_blank', 'width=900,height=700');
  if (!win) return false;
  win.document.open();
  win.document.write(html);
  win.document.close();
  // The print dialog offers the window's title as the PDF's file name.
  win.document.title = printTitle(title);
  win.focus();
  // Printing from a later task lets the window pass its new title on first: the desktop's
  // print dialog names the PDF after it.
  win.setTimeout(() => win.print(), 0);
  return true;
}

/** Asks where to save and writes the document; the written path, or null when the user cancelled. */
export async function saveHtmlFile(html: string, title: string): Promise<string | null> {
  const path = await chooseSavePath({
    defaultName: defaultHtmlName(title),
    filters: [{ name: 'HTML', extensions: ['html'] }],
    finalPath: withHtmlExtension,
  });
  if (!path) return null;
  await invoke<null>('write_utf8', { path, text: html });
  return path;
}
