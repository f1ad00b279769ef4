// Exporting one estimate: the menu's choices, the save dialog with a safe proposed name,
// the forced extension and the export command of the chosen kind.

import { estimateStore } from '../estimateStore';
import { invoke } from '../platform';
import { readSettings } from '../settings/settings';
import { withFileFailure } from './failureMessage';
import { forceExtension, safeFileName } from './fileNames';
import { rememberRecent } from './recent';
import { chooseSavePath } from './savePlace';

export type ExportKind = 'xlsx' | 'pdf' | 'clcx' | 'csv';

export interface ExportChoice {
  kind: ExportKind;
  ext: string;
  label: string;
  hint: string;
}

export const EXPORT_CHOICES: readonly ExportChoice[] = [
  { kind: 'xlsx', ext: 'xlsx', label: 'Книга Excel', hint: 'Для заказчика, с формулами' },
  { kind: 'pdf', ext: 'pdf', label: 'PDF', hint: 'Для печати и заказчика' },
  { kind: 'clcx', ext: 'clcx', label: 'Calcora', hint: 'Файл для коллеги с приложением' },
  { kind: 'csv', ext: 'csv', label: 'CSV (таблица)', hint: 'Точки с запятой, UTF-8' },
];

export const UNKNOWN_KIND = 'Неизвестный формат файла';

const COMMANDS: Record<ExportKind, string> = {
  xlsx: 'export_estimate_xlsx',
  pdf: 'export_estimate_pdf',
  clcx: 'export_estimate_clcx',
  csv: 'export_estimate_csv',
};

/**
 * Asks where to save and writes the file. Returns the written path, or null when the user
 * cancelled. An exchange file written here joins the recent list.
 */
export async function exportEstimate(id: number, objectName: string, kind: string): Promise<string | null> {
  const choice = EXPORT_CHOICES.find((c) => c.kind === kind);
  if (!choice) throw new Error(UNKNOWN_KIND);
  const path = await chooseSavePath({
    defaultName: `${safeFileName(objectName)}.${choice.ext}`,
    filters: [{ name: choice.label, extensions: [choice.ext] }],
    finalPath: (chosen) => forceExtension(chosen, choice.ext),
  });
  if (!path) return null;
  // The native side writes what is stored: an edit still waiting for its autosave goes first.
  if (estimateStore.data?.estimate.id === id) await estimateStore.flush();
  const args = choice.kind === 'pdf' ? { id, path, printFont: readSettings().printFont } : { id, path };
  await withFileFailure(path, 'save', () => invoke<null>(COMMANDS[choice.kind], args));
  if (choice.kind === 'clcx') rememberRecent(path, objectName, id);
  return path;
}
