// "Таблица": the grid's columns, edited with the same list as the editor's "Колонки…" dialog.
// The editor reads the list when it opens, so a change shows the next time it is opened.

import { ColumnEditor } from '../../components/ColumnEditor';
import { writeSettings, type AppSettings } from '../../settings/settings';

export function TableCategory({ settings }: { settings: AppSettings }) {
  return <ColumnEditor columns={settings.columns} onChange={(columns) => writeSettings({ columns })} />;
}
