// The list editor of the grid's columns: its note, one line per column (visibility, title,
// width, order) and "Сбросить". Shared by the editor's "Колонки…" dialog and the settings screen.

import { ArrowDown, ArrowUp } from 'lucide-react';
import type { ReactNode } from 'react';
import { defaultColumns, type ColumnSetting } from '../settings/settings';

export interface ColumnEditorProps {
  columns: readonly ColumnSetting[];
  onChange: (columns: ColumnSetting[]) => void;
  /** Buttons after "Сбросить", at the right (the dialog's "Готово"). */
  actions?: ReactNode;
}

export const COLUMNS_NOTE = 'Имена, ширина (px) и порядок. Ширину можно также тянуть за край заголовка в таблице.';

const ALWAYS_SHOWN = new Set(['num', 'name']);
const WIDTH_MIN = 32;
const WIDTH_MAX = 400;

function swap(columns: readonly ColumnSetting[], i: number, j: number): ColumnSetting[] {
  const out = columns.slice();
  [out[i], out[j]] = [out[j], out[i]];
  return out;
}

export function ColumnEditor({ columns, onChange, actions }: ColumnEditorProps) {
  const patch = (i: number, change: Partial<ColumnSetting>) => onChange(columns.map((c, j) => (j === i ? { ...c, ...change } : c)));
  return (
    <>
      <p className="muted column-note">{COLUMNS_NOTE}</p>
      <ColumnLines columns={columns} onChange={onChange} patch={patch} />
      <div className="dialog-actions">
        <button type="button" className="btn" onClick={() => onChange(defaultColumns())} data-testid="columns-reset">
          Сбросить
        </button>
        <span className="toolbar-spacer" />
        {actions}
      </div>
    </>
  );
}

interface ColumnLinesProps extends ColumnEditorProps {
  patch: (i: number, change: Partial<ColumnSetting>) => void;
}

function ColumnLines({ columns, onChange, patch }: ColumnLinesProps) {
  return (
    <ol className="column-editor" data-testid="column-editor">
      {columns.map((c, i) => {
        const fixedTitle = c.id === 'actions';
        return (
          <li key={c.id} className="column-line" data-column={c.id}>
            <label className="column-visible">
              <input
                type="checkbox"
                checked={ALWAYS_SHOWN.has(c.id) ? true : c.visible}
                disabled={ALWAYS_SHOWN.has(c.id)}
                onChange={(e) => patch(i, { visible: e.target.checked })}
              />
              <span className="sr-only">Показывать колонку {c.title || c.id}</span>
            </label>
            <label className="column-title">
              <span className="sr-only">Заголовок колонки {c.id}</span>
              <input className="input" placeholder="Заголовок" value={c.title} disabled={fixedTitle} onChange={(e) => patch(i, { title: e.target.value })} />
            </label>
            {c.id === 'actions' ? (
              <span className="column-width" />
            ) : (
              <label className="column-width">
                <span className="sr-only">Ширина колонки {c.title || c.id}</span>
                <input
                  className="input"
                  type="number"
                  placeholder="px"
                  min={WIDTH_MIN}
                  max={WIDTH_MAX}
                  value={c.width ?? ''}
                  onChange={(e) => {
                    const text = e.target.value;
                    const n = Number(text);
                    if (text.trim() === '') {
                      const { width: _drop, ...rest } = c;
                      void _drop;
                      onChange(columns.map((x, j) => (j === i ? rest : x)));
                    } else if (Number.isFinite(n) && n > 0) patch(i, { width: n });
                  }}
                />
              </label>
            )}
            <button type="button" className="btn btn-icon" title="Выше" aria-label="Выше" disabled={i === 0} onClick={() => onChange(swap(columns, i, i - 1))}>
              <ArrowUp strokeWidth={1.75} />
            </button>
            <button type="button" className="btn btn-icon" title="Ниже" aria-label="Ниже" disabled={i === columns.length - 1} onClick={() => onChange(swap(columns, i, i + 1))}>
              <ArrowDown strokeWidth={1.75} />
            </button>
          </li>
        );
      })}
    </ol>
  );
}
