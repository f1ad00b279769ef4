// Toolbar groups "Режим", "Правка" and "Строки".

import { Redo2, Search, Undo2 } from 'lucide-react';
import type { RefObject } from 'react';
import { CATEGORY_PLURALS } from '../../../category/category';
import { GOVERNMENT_NOTE, MODE_LABELS, type Mode } from '../../../estimateStore';
import type { CategoryFilter } from '../../../grid/lineEdits';
import { ToolGroup } from './ToolGroup';

const PRESETS: Exclude<Mode, 'custom'>[] = ['simple', 'private', 'government'];

export function ModeGroup({ mode, onMode }: { mode: string; onMode: (mode: Exclude<Mode, 'custom'>) => void }) {
  return (
    <ToolGroup caption="Режим" labelFor="editor-mode">
      <div className="tool-stack">
        <select
          id="editor-mode"
          className="input tool"
          title="Режим сметы"
          value={mode === 'custom' || PRESETS.includes(mode as never) ? mode : 'simple'}
          onChange={(e) => {
            const next = e.target.value as Mode;
            // "Свой" is only ever shown for an estimate that has it; choosing it changes nothing.
            if (next !== 'custom') onMode(next);
          }}
          data-testid="mode-select"
        >
          {PRESETS.map((m) => (
            <option key={m} value={m}>
              {MODE_LABELS[m]}
            </option>
          ))}
          {mode === 'custom' && <option value="custom">{MODE_LABELS.custom}</option>}
        </select>
        {mode === 'government' && (
          <p className="mode-note" data-testid="government-note">
            {GOVERNMENT_NOTE}
          </p>
        )}
      </div>
    </ToolGroup>
  );
}

export interface EditGroupProps {
  canUndo: boolean;
  canRedo: boolean;
  onUndo: () => void;
  onRedo: () => void;
  search: string;
  onSearch: (text: string) => void;
  onNextHit: () => void;
  label: string | null;
  searchRef: RefObject<HTMLInputElement | null>;
}

export function EditGroup({ canUndo, canRedo, onUndo, onRedo, search, onSearch, onNextHit, label, searchRef }: EditGroupProps) {
  return (
    <ToolGroup caption="Правка">
      <button type="button" className="btn tool btn-icon" title="Отменить (Ctrl+Z)" aria-label="Отменить" disabled={!canUndo} onClick={onUndo} data-testid="undo">
        <Undo2 strokeWidth={1.75} />
      </button>
      <button type="button" className="btn tool btn-icon" title="Повторить (Ctrl+Shift+Z)" aria-label="Повторить" disabled={!canRedo} onClick={onRedo} data-testid="redo">
        <Redo2 strokeWidth={1.75} />
      </button>
      <span className="tool-search">
        <Search aria-hidden="true" />
        <input
          ref={searchRef}
          className="input tool"
          type="search"
          placeholder="Найти…"
          title="Поиск по смете (Ctrl+F)"
          aria-label="Поиск по смете"
          value={search}
          onChange={(e) => onSearch(e.target.value)}
          onKeyDown={(e) => {
            if (e.key === 'Enter' && !e.nativeEvent.isComposing) {
              e.preventDefault();
              onNextHit();
            }
          }}
          data-testid="search-field"
        />
      </span>
      {label !== null && (
        <button type="button" className="btn tool hit-label" title="Следующее совпадение" onClick={onNextHit} data-testid="search-label">
          {label}
        </button>
      )}
    </ToolGroup>
  );
}

const FILTERS: Array<[CategoryFilter, string]> = [
  ['all', 'Все'],
  ['work', CATEGORY_PLURALS.work],
  ['material', CATEGORY_PLURALS.material],
  ['equipment', CATEGORY_PLURALS.equipment],
];

export function RowsGroup({ filter, onFilter }: { filter: CategoryFilter; onFilter: (f: CategoryFilter) => void }) {
  return (
    <ToolGroup caption="Строки">
      <div className="segmented" data-testid="filter-buttons">
        {FILTERS.map(([id, label]) => (
          <button
            key={id}
            type="button"
            className={`btn tool${filter === id ? ' is-active' : ''}`}
            aria-pressed={filter === id}
            onClick={() => onFilter(id)}
            data-grid-keys=""
          >
            {label}
          </button>
        ))}
      </div>
    </ToolGroup>
  );
}
