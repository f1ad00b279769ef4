// What a failed file operation tells the user: the commands answer with the texts of the
// operating system, the database and the file readers (often English, never naming the file);
// the page turns the known ones into a Russian sentence that names the file and the cause, with
// the original text after it in brackets. Texts it does not know are shown as they came.

/** What the page was doing with the file. */
export type FileAction = 'save' | 'open' | 'restore';

interface Rule {
  /** The failures this rule knows, by their text. */
  test: RegExp;
  /** The actions it applies to; all when absent. */
  actions?: readonly FileAction[];
  /** The file's kind by its extension, when the cause depends on it. */
  ext?: string;
  /** The sentence before the path. */
  says: string;
}

const NOT_FOUND = /No such file or directory|os error [23]\)|cannot find the (path|file) specified|файл не найден|unable to open database file/i;
const DAMAGED_EXCHANGE = /gzip|valid UTF-8|deflate|unexpected end of file|Not a zip archive|EOF while parsing|expected value|missing field|invalid type|invalid value|trailing characters|syntax error|parse error/i;

// Read top to bottom; the first rule that fits speaks.
const RULES: readonly Rule[] = [
  { test: NOT_FOUND, actions: ['save'], says: 'Папка не найдена' },
  { test: NOT_FOUND, says: 'Файл не найден' },
  { test: /Permission denied|Access is denied|os error (5|13)\)|readonly database|read-only/i, says: 'Нет доступа к файлу' },
  { test: /No space left|os error (28|112)\)|disk is full|database or disk is full/i, says: 'На диске не хватает места для файла' },
  { test: /это не резервная копия Calcora|file is not a database|не открыть копию/i, actions: ['restore'], says: 'Это не резервная копия Calcora' },
  { test: /файл не читается как книга Excel|книга Excel повреждена|^no sheet$/, says: 'Файл повреждён или это не книга Excel' },
  { test: DAMAGED_EXCHANGE, actions: ['open'], ext: 'clcx', says: 'Файл повреждён или это не файл Calcora' },
];

function extensionOf(path: string): string {
  const name = path.slice(Math.max(path.lastIndexOf('/'), path.lastIndexOf('\\')) + 1);
  const dot = name.lastIndexOf('.');
  return dot > 0 ? name.slice(dot + 1).toLowerCase() : '';
}

/** "Папка не найдена: D:\Сметы\дом.xlsx (No such file or directory (os error 2))", or the text as it came. */
export function fileFailureText(raw: string, path: string, action: FileAction): string {
  const ext = extensionOf(path);
  const rule = RULES.find((r) => r.test.test(raw) && (!r.actions || r.actions.includes(action)) && (!r.ext || r.ext === ext));
  return rule ? `${rule.says}: ${path} (${raw})` : raw;
}

/** The text of a failed command call. */
export function failureText(e: unknown): string {
  return e instanceof Error ? e.message : String(e);
}

/** Runs a command on a file; its failure comes back as an Error with the user's sentence. */
export async function withFileFailure<T>(path: string, action: FileAction, run: () => Promise<T>): Promise<T> {
  try {
    return await run();
  } catch (e) {
    throw new Error(fileFailureText(failureText(e), path, action));
  }
}
