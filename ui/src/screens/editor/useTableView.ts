// View settings of the editor kept in local storage: the table zoom, whether the totals panel
// is hidden, and the grid's columns (stored in the settings for every estimate).

import { useCallback, useEffect, useRef, useState } from 'react';
import { readFlag, readStored, STORAGE_KEYS, writeFlag, writeStored } from '../../platform';
import { setColumnWidth } from '../../grid/columns';
import { readZoom } from '../../grid/zoom';
import { readSettings, writeSettings, type ColumnId, type ColumnSetting } from '../../settings/settings';

export function useTableView() {
  const [zoom, setZoomState] = useState(() => readZoom(readStored(STORAGE_KEYS.tableZoom)));
  const [totalsHidden, setTotalsHiddenState] = useState(() => readFlag(STORAGE_KEYS.footer, false));
  // The grid reads the column list when it is created; its own changes are stored at once.
  const [columns, setColumnsState] = useState<ColumnSetting[]>(() => readSettings().columns);

  const columnsRef = useRef(columns);
  useEffect(() => {
    columnsRef.current = columns;
  }, [columns]);

  // The zoom variable belongs to the document only while the editor is shown.
  useEffect(() => {
    document.documentElement.style.setProperty('--table-zoom', String(zoom / 100));
  }, [zoom]);
  useEffect(
    () => () => {
      document.documentElement.style.removeProperty('--table-zoom');
    },
    [],
  );

  const setZoom = useCallback((value: number) => {
    const z = readZoom(String(value));
    writeStored(STORAGE_KEYS.tableZoom, String(z));
    setZoomState(z);
  }, []);
  const setTotalsHidden = useCallback((hidden: boolean) => {
    writeFlag(STORAGE_KEYS.footer, hidden);
    setTotalsHiddenState(hidden);
  }, []);
  const setColumns = useCallback((next: ColumnSetting[]) => {
    setColumnsState(next);
    writeSettings({ columns: next });
  }, []);
  const resizeLive = useCallback((id: ColumnId, width: number) => setColumnsState((cols) => setColumnWidth(cols, id, width)), []);
  const resizeEnd = useCallback(() => writeSettings({ columns: columnsRef.current }), []);

  return { zoom, setZoom, totalsHidden, setTotalsHidden, columns, setColumns, resizeLive, resizeEnd };
}
