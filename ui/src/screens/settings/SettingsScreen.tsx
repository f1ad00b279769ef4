// The settings: a column of categories at the left and the chosen category's fields.

import { useState, type ReactNode } from 'react';
import { useSettings } from '../../settings/useSettings';
import type { AppSettings } from '../../settings/settings';
import { DataCategory } from './DataCategory';
import { EditorCategory, GeneralCategory, ModeCategory, PrintCategory } from './GeneralCategories';
import { LinkCategory } from './LinkCategory';
import { TableCategory } from './TableCategory';
import './settings.css';

interface Category {
  id: string;
  label: string;
  render: (settings: AppSettings) => ReactNode;
}

const CATEGORIES: readonly Category[] = [
  { id: 'general', label: 'Общие', render: (s) => <GeneralCategory settings={s} /> },
  { id: 'mode', label: 'Режим', render: (s) => <ModeCategory settings={s} /> },
  { id: 'editor', label: 'Редактор', render: (s) => <EditorCategory settings={s} /> },
  { id: 'table', label: 'Таблица', render: (s) => <TableCategory settings={s} /> },
  { id: 'print', label: 'Печать', render: (s) => <PrintCategory settings={s} /> },
  { id: 'data', label: 'Данные', render: () => <DataCategory /> },
  { id: 'links', label: 'Ссылки', render: () => <LinkCategory /> },
];

export function SettingsScreen() {
  const settings = useSettings();
  const [chosen, setChosen] = useState(CATEGORIES[0].id);
  const category = CATEGORIES.find((c) => c.id === chosen) ?? CATEGORIES[0];

  const onKey = (e: React.KeyboardEvent) => {
    if (e.key !== 'ArrowDown' && e.key !== 'ArrowUp') return;
    e.preventDefault();
    const at = CATEGORIES.indexOf(category) + (e.key === 'ArrowDown' ? 1 : -1);
    const next = CATEGORIES[(at + CATEGORIES.length) % CATEGORIES.length];
    setChosen(next.id);
    document.getElementById(`settings-tab-${next.id}`)?.focus();
  };

  return (
    <section className="screen" data-testid="screen-settings">
      <div className="screen-body">
        <div className="settings-column">
          <h1>Настройки</h1>
          <div className="settings-layout">
            <div className="settings-categories" role="tablist" aria-label="Категории настроек" aria-orientation="vertical" onKeyDown={onKey}>
              {CATEGORIES.map((c) => (
                <button
                  key={c.id}
                  id={`settings-tab-${c.id}`}
                  type="button"
                  role="tab"
                  aria-selected={c.id === category.id}
                  aria-controls="settings-panel"
                  tabIndex={c.id === category.id ? 0 : -1}
                  className={`settings-category${c.id === category.id ? ' is-active' : ''}`}
                  onClick={() => setChosen(c.id)}
                  data-testid={`settings-category-${c.id}`}
                >
                  {c.label}
                </button>
              ))}
            </div>
            <div
              id="settings-panel"
              className="panel settings-panel"
              role="tabpanel"
              aria-labelledby={`settings-tab-${category.id}`}
              data-testid={`settings-panel-${category.id}`}
            >
              <h2>{category.label}</h2>
              {category.render(settings)}
            </div>
          </div>
        </div>
      </div>
    </section>
  );
}
