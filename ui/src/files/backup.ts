// Saving the whole database into one file, and putting such a file in its place.
// Each flow returns the text for the settings screen's message line, or null when the
// user cancelled and nothing is to be said.

import { estimateStore } from '../estimateStore';
import { askConfirm, invoke, pickOpenFile } from '../platform';
import { applySettings } from '../settings/settings';
import { backupFileName } from './backupName';
import { failureText, withFileFailure } from './failureMessage';
import { chooseSavePath } from './savePlace';

export const BACKUP_FILTERS = [{ name: 'SQLite', extensions: ['db'] }];
export const BACKUP_SAVED = 'Резервная копия сохранена.';
export const RESTORE_QUESTION = 'Заменить текущую базу этой копией? Сметы на этом компьютере станут как в файле.';
export const RESTORED = 'База восстановлена.';

/** `onSaved` learns where the copy went, for the line that says so. */
export async function saveBackup(now: Date = new Date(), onSaved?: (path: string) => void): Promise<string | null> {
  try {
    // Like every export: the dialog starts in the folder used last, and a file already there is
    // replaced only when the user says so.
    const path = await chooseSavePath({ defaultName: backupFileName(now), filters: BACKUP_FILTERS });
    if (!path) return null;
    // The copy should hold the last edit too, not only what the autosave had written.
    await estimateStore.flush();
    await withFileFailure(path, 'save', () => invoke<null>('export_all_data', { path, replace: true }));
    onSaved?.(path);
    return BACKUP_SAVED;
  } catch (e) {
    return `Ошибка: ${failureText(e)}`;
  }
}

export async function restoreBackup(): Promise<string | null> {
  try {
    const path = await pickOpenFile({ filters: BACKUP_FILTERS });
    if (!path) return null;
    // A wrong file is said so before the user is asked to give up the current database.
    await withFileFailure(path, 'restore', () => invoke<null>('check_backup_file', { path }));
    if (!(await askConfirm(RESTORE_QUESTION))) return null;
    // The open estimate belongs to the database being replaced: save what is pending, then
    // let it go, so that no later autosave writes it into the restored database.
    await estimateStore.unload();
    await withFileFailure(path, 'restore', () => invoke<null>('import_all_data', { path }));
  } catch (e) {
    return `Ошибка: ${failureText(e)}`;
  }
  // Screens read their data when they are shown, so the estimate list, the catalog and
  // the editor show the restored database from now on; the preferences live outside it.
  applySettings();
  return RESTORED;
}
