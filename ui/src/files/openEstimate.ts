// Opening an estimate file: an exchange file or a workbook becomes a new estimate, and
// its editor opens. Used by "Открыть свой Excel", Ctrl+O and files dropped on the editor.

import { invoke, listen, pickOpenFile, showMessage } from '../platform';
import type { EstimatePayload } from '../model/types';
import { editorPath, navigate } from '../router/router';
import { failureText, withFileFailure } from './failureMessage';
import { fileExtension } from './fileNames';
import { rememberRecent } from './recent';

export const OPEN_FILTERS = [
  { name: 'Calcora', extensions: ['clcx'] },
  { name: 'Excel', extensions: ['xlsx'] },
];

export { failureText };

/** A price list in CSV is no estimate: it goes into the catalog. */
export const CSV_GOES_TO_CATALOG = 'CSV-файлы загружаются в справочник: откройте «Справочник» и нажмите «Импорт Excel/CSV».';

/**
 * Imports the file and goes to its editor; other kinds of file are left alone (false), except
 * a CSV file, which is refused with the way to load it. `remember` adds an exchange file to the
 * recent list.
 */
export async function openEstimateFile(path: string, remember: boolean): Promise<boolean> {
  const ext = fileExtension(path);
  if (ext === 'csv') throw new Error(CSV_GOES_TO_CATALOG);
  if (ext === 'clcx') {
    const payload = await withFileFailure(path, 'open', () => invoke<EstimatePayload>('import_estimate_clcx', { path }));
    if (remember) rememberRecent(path, payload.estimate.object_name, payload.estimate.id);
    navigate(editorPath(payload.estimate.id));
    return true;
  }
  if (ext === 'xlsx') {
    const id = await withFileFailure(path, 'open', () => invoke<number>('import_estimate_xlsx', { path }));
    navigate(editorPath(id));
    return true;
  }
  return false;
}

/** The open dialog, then the file; failures in a message box (the screen may have no error line). */
async function openByDialog(remember: boolean): Promise<void> {
  try {
    const path = await pickOpenFile({ filters: OPEN_FILTERS });
    if (path) await openEstimateFile(path, remember);
  } catch (e) {
    await showMessage(`Ошибка: ${failureText(e)}`);
  }
}

/** "Открыть свой Excel" on the estimate list: an exchange file joins the recent list. */
export function openOwnFile(): Promise<void> {
  return openByDialog(true);
}

let globalOpenRunning = false;

/** Ctrl+O anywhere: the same dialog, without a recent entry; a second press while it is open is ignored. */
export function installGlobalOpen(): () => void {
  return listen('global-open', () => {
    if (globalOpenRunning) return;
    globalOpenRunning = true;
    void openByDialog(false).finally(() => (globalOpenRunning = false));
  });
}

/** The path of a drop that counts: the first one, and only when it names a file (not a folder). */
export function droppedPath(payload: unknown): string | null {
  if (!Array.isArray(payload) || typeof payload[0] !== 'string') return null;
  const first = payload[0];
  return first === '' || /[/\\]$/.test(first) ? null : first;
}
