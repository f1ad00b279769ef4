// "Данные": the backup of the whole database and the restore from one.

import { DatabaseBackup, History } from 'lucide-react';
import { useState } from 'react';
import { restoreBackup, saveBackup } from '../../files/backup';
import { savedText } from '../../files/savePlace';
import { Note } from './fields';

export function DataCategory() {
  const [message, setMessage] = useState('');
  const [busy, setBusy] = useState(false);
  // Where the last backup went, said under the message as for every saved file.
  const [savedPath, setSavedPath] = useState('');

  const run = async (flow: () => Promise<string | null>) => {
    setMessage('');
    setSavedPath('');
    setBusy(true);
    try {
      const text = await flow();
      if (text) setMessage(text);
    } finally {
      setBusy(false);
    }
  };
  const isError = message.startsWith('Ошибка');

  return (
    <>
      <div className="settings-buttons">
        <button type="button" className="btn" disabled={busy} onClick={() => void run(() => saveBackup(new Date(), setSavedPath))} data-testid="settings-backup">
          <DatabaseBackup strokeWidth={1.75} aria-hidden="true" />
          Сохранить резервную копию базы…
        </button>
        <button type="button" className="btn" disabled={busy} onClick={() => void run(restoreBackup)} data-testid="settings-restore">
          <History strokeWidth={1.75} aria-hidden="true" />
          Восстановить из копии…
        </button>
      </div>
      <div className="settings-message" aria-live="polite">
        {message && (
          <div className={isError ? 'error-line' : 'info-line'} data-testid="settings-data-message">
            {message}
          </div>
        )}
        {message && !isError && savedPath && (
          <div className="muted settings-saved" data-testid="settings-data-saved">
            {savedText(savedPath)}
          </div>
        )}
      </div>
      <Note>В копию попадают все сметы и справочник.</Note>
    </>
  );
}
