// What the catalog toolbar's buttons do with files and the standard catalog; each returns
// the text for the message line (or null for nothing to say).

import { chooseSavePath, savedText } from '../../files/savePlace';
import { askConfirm, invoke, pickOpenFile, showMessage } from '../../platform';
import { forceExtension } from '../../files/fileNames';
import { withFileFailure } from '../../files/failureMessage';

export const MERGE_QUESTION = 'Добавить недостающие позиции из стандартного справочника? Существующие имена и цены не изменятся.';
export const NOTHING_TO_MERGE = 'Все стандартные позиции уже есть';
const EXPORT_NAME = 'справочник.xlsx';

const failure = (e: unknown) => `Ошибка: ${e instanceof Error ? e.message : String(e)}`;

export async function importCatalog(): Promise<string | null> {
  try {
    const path = await pickOpenFile({ filters: [{ name: 'Excel и CSV', extensions: ['xlsx', 'csv'] }] });
    if (!path) return null;
    const [loaded, skipped] = await withFileFailure(path, 'open', () => invoke<[number, number]>('import_catalog_xlsx', { path }));
    return `загружено ${loaded}, пропущено ${skipped}`;
  } catch (e) {
    return failure(e);
  }
}

export async function exportCatalog(): Promise<string | null> {
  try {
    const path = await chooseSavePath({
      defaultName: EXPORT_NAME,
      filters: [{ name: 'Excel', extensions: ['xlsx'] }],
      finalPath: (chosen) => forceExtension(chosen, 'xlsx'),
    });
    if (!path) return null;
    await withFileFailure(path, 'save', () => invoke<null>('export_catalog_xlsx', { path }));
    return savedText(path);
  } catch (e) {
    return failure(e);
  }
}

/** Tops the catalog up from the standard one; the outcome goes to a message box. True when it ran. */
export async function mergeStandard(): Promise<boolean> {
  if (!(await askConfirm(MERGE_QUESTION))) return false;
  try {
    const added = await invoke<number>('merge_standard_catalog_cmd');
    await showMessage(added > 0 ? `Добавлено позиций: ${added}` : NOTHING_TO_MERGE);
  } catch (e) {
    await showMessage(e instanceof Error ? e.message : String(e));
  }
  return true;
}
