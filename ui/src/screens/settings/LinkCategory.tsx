// "Ссылки": the key of the proposal link service. It is kept in the database by the native
// side, shown here only masked, and an empty value removes it.

import { useCallback, useEffect, useState } from 'react';
import { invoke } from '../../platform';
import { Note } from './fields';

const SAVED = 'Ключ сохранён.';
const CLEARED = 'Ключ удалён.';

/** The key as it may be shown: dots, and the last four characters of a long key. */
export function maskedKey(key: string): string {
  const chars = Array.from(key);
  const tail = chars.length > 8 ? chars.slice(-4).join('') : '';
  return '•'.repeat(Math.min(12, chars.length - tail.length)) + tail;
}

export function LinkCategory() {
  const [stored, setStored] = useState<string | null | undefined>(undefined);
  const [draft, setDraft] = useState('');
  const [message, setMessage] = useState('');

  const load = useCallback(async () => {
    try {
      const key = await invoke<string | null>('proposal_ticket_get');
      setStored(key ? maskedKey(key) : null);
    } catch (e) {
      setMessage(`Ошибка: ${e instanceof Error ? e.message : String(e)}`);
    }
  }, []);

  useEffect(() => {
    void load();
  }, [load]);

  const save = async () => {
    setMessage('');
    const value = draft.trim();
    try {
      await invoke<null>('proposal_ticket_set', { ticket: value === '' ? null : value });
      setDraft('');
      setMessage(value === '' ? CLEARED : SAVED);
      await load();
    } catch (e) {
      setMessage(`Ошибка: ${e instanceof Error ? e.message : String(e)}`);
    }
  };

  return (
    <>
      <p className="settings-key-state" data-testid="settings-key-state">
        {stored === undefined ? '' : stored === null ? 'Ключ не задан' : `Текущий ключ: ${stored}`}
      </p>
      <form
        className="settings-inline"
        onSubmit={(e) => {
          e.preventDefault();
          void save();
        }}
      >
        <label className="field settings-field">
          <span>Ключ сервиса ссылок</span>
          <input
            className="input"
            type="password"
            autoComplete="off"
            spellCheck={false}
            value={draft}
            onChange={(e) => setDraft(e.target.value)}
            data-testid="settings-key"
          />
        </label>
        <button type="submit" className="btn" data-testid="settings-key-save">
          Сохранить ключ
        </button>
      </form>
      {message && (
        <div className={message.startsWith('Ошибка') ? 'error-line' : 'info-line'} role="status" data-testid="settings-key-message">
          {message}
        </div>
      )}
      <Note>Ключ нужен, чтобы публиковать коммерческие предложения ссылкой. Он хранится в базе этого компьютера. Пустое поле и «Сохранить ключ» удаляют ключ.</Note>
    </>
  );
}
