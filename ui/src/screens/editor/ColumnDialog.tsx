// "Колонки сметы": the column list editor in a modal panel. Every change is stored at once.

import { useEffect, useRef } from 'react';
import { ColumnEditor } from '../../components/ColumnEditor';
import type { ColumnSetting } from '../../settings/settings';

export interface ColumnDialogProps {
  columns: readonly ColumnSetting[];
  onChange: (columns: ColumnSetting[]) => void;
  onClose: () => void;
}

export function ColumnDialog({ columns, onChange, onClose }: ColumnDialogProps) {
  const panel = useRef<HTMLDivElement>(null);
  useEffect(() => {
    panel.current?.focus();
    const onKey = (e: KeyboardEvent) => e.key === 'Escape' && onClose();
    window.addEventListener('keydown', onKey);
    return () => window.removeEventListener('keydown', onKey);
  }, [onClose]);
  return (
    <div className="dlg-backdrop" onMouseDown={(e) => e.target === e.currentTarget && onClose()}>
      <div ref={panel} tabIndex={-1} className="panel column-dialog" role="dialog" aria-modal="true" aria-labelledby="column-dialog-title" data-testid="column-dialog">
        <h2 id="column-dialog-title">Колонки сметы</h2>
        <ColumnEditor
          columns={columns}
          onChange={onChange}
          actions={
            <button type="button" className="btn btn-primary" onClick={onClose} data-testid="columns-done">
              Готово
            </button>
          }
        />
      </div>
    </div>
  );
}
