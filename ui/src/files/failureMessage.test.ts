import { describe, expect, it } from 'vitest';
import { fileFailureText, withFileFailure, type FileAction } from './failureMessage';

describe('file failures as the user reads them', () => {
  it.each<[string, string, FileAction, string]>([
    // Export into a folder that is not there (Linux and Windows texts).
    ['No such file or directory (os error 2)', '/home/u/нет/дом.xlsx', 'save', 'Папка не найдена: /home/u/нет/дом.xlsx (No such file or directory (os error 2))'],
    ['The system cannot find the path specified. (os error 3)', 'D:\\нет\\дом.pdf', 'save', 'Папка не найдена: D:\\нет\\дом.pdf (The system cannot find the path specified. (os error 3))'],
    ['Permission denied (os error 13)', '/root/дом.csv', 'save', 'Нет доступа к файлу: /root/дом.csv (Permission denied (os error 13))'],
    ['No space left on device (os error 28)', '/mnt/usb/дом.clcx', 'save', 'На диске не хватает места для файла: /mnt/usb/дом.clcx (No space left on device (os error 28))'],
    // Opening estimate files.
    ['invalid gzip header', '/tmp/письмо.clcx', 'open', 'Файл повреждён или это не файл Calcora: /tmp/письмо.clcx (invalid gzip header)'],
    ['parse error at line 1, column 1: syntax error while parsing value', '/tmp/a.clcx', 'open', 'Файл повреждён или это не файл Calcora: /tmp/a.clcx (parse error at line 1, column 1: syntax error while parsing value)'],
    ['missing field `rows`', '/tmp/a.clcx', 'open', 'Файл повреждён или это не файл Calcora: /tmp/a.clcx (missing field `rows`)'],
    ['файл не читается как книга Excel: Not a zip archive', '/tmp/бюджет.xlsx', 'open', 'Файл повреждён или это не книга Excel: /tmp/бюджет.xlsx (файл не читается как книга Excel: Not a zip archive)'],
    ['No such file or directory (os error 2)', '/tmp/пропал.clcx', 'open', 'Файл не найден: /tmp/пропал.clcx (No such file or directory (os error 2))'],
    // Restoring the database.
    ['не открыть копию: unable to open database file', '/tmp/нет.db', 'restore', 'Файл не найден: /tmp/нет.db (не открыть копию: unable to open database file)'],
    ['это не резервная копия Calcora', '/tmp/notes.db', 'restore', 'Это не резервная копия Calcora: /tmp/notes.db (это не резервная копия Calcora)'],
    ['не открыть копию: file is not a database', '/tmp/x.db', 'restore', 'Это не резервная копия Calcora: /tmp/x.db (не открыть копию: file is not a database)'],
    // Texts that are already the user's own stay as they are.
    ['Книга не похожа на смету: у большинства строк нет количества, цены или суммы', '/tmp/b.xlsx', 'open', 'Книга не похожа на смету: у большинства строк нет количества, цены или суммы'],
    ['Файл сохранён более новой версией Calcora (формат v2, эта версия приложения поддерживает до v1). Обновите Calcora.', '/tmp/n.clcx', 'open', 'Файл сохранён более новой версией Calcora (формат v2, эта версия приложения поддерживает до v1). Обновите Calcora.'],
    ['invalid gzip header', '/tmp/a.db', 'restore', 'invalid gzip header'],
    ['database is locked', '/tmp/a.xlsx', 'save', 'database is locked'],
  ])('%s (%s, %s)', (raw, path, action, shown) => {
    expect(fileFailureText(raw, path, action)).toBe(shown);
  });

  it('wraps a failing command and passes a result through', async () => {
    await expect(withFileFailure('/x/a.csv', 'save', () => Promise.reject(new Error('Permission denied (os error 13)')))).rejects.toThrow(
      'Нет доступа к файлу: /x/a.csv (Permission denied (os error 13))',
    );
    await expect(withFileFailure('/x/a.csv', 'save', () => Promise.resolve(5))).resolves.toBe(5);
  });
});
