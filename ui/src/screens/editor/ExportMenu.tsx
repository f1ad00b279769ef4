// The toolbar's export menu: the four kinds of file, each written by its native command to
// the path the save dialog gives.

import { useEffect, useRef, useState } from 'react';
import { invoke, pickSaveFile } from '../../platform';
import { readSettings } from '../../settings/settings';

interface Kind {
  kind: 'xlsx' | 'pdf' | 'clcx' | 'csv';
  label: string;
  hint: string;
  command: string;
}

const KINDS: Kind[] = [
  { kind: 'xlsx', label: 'Книга Excel', hint: 'Для заказчика, с формулами', command: 'export_estimate_xlsx' },
  { kind: 'pdf', label: 'PDF', hint: 'Для печати и заказчика', command: 'export_estimate_pdf' },
  { kind: 'clcx', label: 'Calcora', hint: 'Файл для коллеги с приложением', command: 'export_estimate_clcx' },
  { kind: 'csv', label: 'CSV (таблица)', hint: 'Точки с запятой, UTF-8', command: 'export_estimate_csv' },
];

export interface ExportMenuProps {
  estimateId: number;
  objectName: string;
  /** Runs before the export: the estimate must be stored as the user sees it. */
  beforeExport: () => Promise<void>;
  onError: (text: string) => void;
}

export function ExportMenu({ estimateId, objectName, beforeExport, onError }: ExportMenuProps) {
  const [open, setOpen] = useState(false);
  const root = useRef<HTMLDivElement>(null);

  useEffect(() => {
    if (!open) return;
    const onPress = (e: MouseEvent) => {
      if (!root.current?.contains(e.target as Node)) setOpen(false);
    };
    document.addEventListener('mousedown', onPress);
    return () => document.removeEventListener('mousedown', onPress);
  }, [open]);

  const run = async (k: Kind) => {
    setOpen(false);
    try {
      const path = await pickSaveFile({ defaultName: `${objectName.trim() || 'smeta'}.${k.kind}`, filters: [{ name: k.label, extensions: [k.kind] }] });
      if (!path) return;
      await beforeExport();
      const args: Record<string, unknown> = { id: estimateId, path };
      if (k.kind === 'pdf') args.printFont = readSettings().printFont;
      await invoke(k.command, args);
    } catch (e) {
      onError(e instanceof Error ? e.message : String(e));
    }
  };

  return (
    <div className="menu-anchor" ref={root}>
      <button type="button" className="btn tool" aria-haspopup="menu" aria-expanded={open} onClick={() => setOpen(!open)} data-testid="export-button">
        Экспорт
      </button>
      {open && (
        <div className="popup-menu export-menu" role="menu" data-testid="export-menu">
          {KINDS.map((k) => (
            <button key={k.kind} type="button" role="menuitem" className="popup-item" onClick={() => void run(k)}>
              <span className="popup-label">{k.label}</span>
              <span className="popup-hint">{k.hint}</span>
            </button>
          ))}
        </div>
      )}
    </div>
  );
}
