// Where a file is saved: the save dialog starts in the folder used last (the user's documents
// folder the first time), the final path is asked about before a file there is replaced, and
// the folder is remembered for the next save.

import { askConfirm, hasNativeDialogs, invoke, pickSaveFile, readStored, STORAGE_KEYS, writeStored, type FileFilter } from '../platform';
import { fileNameOf, folderOf } from './fileNames';

export const savedText = (path: string): string => `Сохранено: ${path}`;
export const replaceQuestion = (path: string): string => `Файл «${fileNameOf(path)}» уже есть. Заменить его?`;

async function startFolder(): Promise<string | undefined> {
  const last = readStored(STORAGE_KEYS.saveFolder);
  if (last) return last;
  try {
    return (await invoke<string | null>('documents_folder')) ?? undefined;
  } catch {
    // Without it the dialog starts where the platform likes.
    return undefined;
  }
}

export interface SaveTarget {
  defaultName: string;
  filters: FileFilter[];
  /** The path that is written, made from the chosen one (the extension forced onto it). */
  finalPath?: (chosen: string) => string;
}

/** Asks where to save; null when the user cancels or declines to replace an existing file. */
export async function chooseSavePath({ defaultName, filters, finalPath = (p) => p }: SaveTarget): Promise<string | null> {
  const chosen = await pickSaveFile({ defaultName, folder: await startFolder(), filters });
  if (!chosen) return null;
  const path = finalPath(chosen);
  // The platform's own dialog has already asked about the path it returned; a changed path, and
  // every path typed into the page's dialog, are asked about here.
  const asked = hasNativeDialogs() && path === chosen;
  if (!asked && (await invoke<boolean>('file_exists', { path })) && !(await askConfirm(replaceQuestion(path)))) return null;
  const folder = folderOf(path);
  if (folder) writeStored(STORAGE_KEYS.saveFolder, folder);
  return path;
}
