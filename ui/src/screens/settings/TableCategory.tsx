// "Таблица": the grid's columns, edited with the same list as the editor's "Колонки…" dialog.

import type { AppSettings } from '../../settings/settings';

export function TableCategory({ settings }: { settings: AppSettings }) {
  return (
    <ul className="settings-columns">
      {settings.columns.map((c) => (
        <li key={c.id}>{c.title || c.id}</li>
      ))}
    </ul>
  );
}
