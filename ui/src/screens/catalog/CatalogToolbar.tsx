// The catalog's fixed toolbar: search, the two filters, the actions, the count, and the
// message line under them.

import { Search } from 'lucide-react';
import { CATEGORIES, CATEGORY_FILTER_LABELS, countText, LINE_TYPES, TYPE_LABELS, type CategoryFilter, type TypeFilter } from './catalogModel';

interface Props {
  search: string;
  onSearch: (text: string) => void;
  type: TypeFilter;
  onType: (type: TypeFilter) => void;
  category: CategoryFilter;
  onCategory: (category: CategoryFilter) => void;
  count: { shown: number; loaded: number };
  message: string;
  onAdd: () => void;
  onImport: () => void;
  onExport: () => void;
  onMerge: () => void;
}

export function CatalogToolbar(p: Props) {
  const isError = p.message.startsWith('Ошибка');
  return (
    <header className="toolbar catalog-toolbar">
      <div className="catalog-toolbar-row">
        <h1>Справочник</h1>
        <div className="search-field">
          <Search strokeWidth={1.75} aria-hidden="true" />
          <input
            className="input"
            type="search"
            placeholder="Поиск"
            aria-label="Поиск"
            value={p.search}
            onChange={(e) => p.onSearch(e.target.value)}
            data-testid="catalog-search"
          />
        </div>
        <select className="input" aria-label="Тип" value={p.type} onChange={(e) => p.onType(e.target.value as TypeFilter)} data-testid="catalog-type-filter">
          <option value="all">Все типы</option>
          {LINE_TYPES.map((t) => (
            <option key={t} value={t}>
              {TYPE_LABELS[t]}
            </option>
          ))}
        </select>
        <select
          className="input"
          aria-label="Категория"
          value={p.category}
          onChange={(e) => p.onCategory(e.target.value as CategoryFilter)}
          data-testid="catalog-category-filter"
        >
          <option value="all">Все категории</option>
          {CATEGORIES.map((c) => (
            <option key={c} value={c}>
              {CATEGORY_FILTER_LABELS[c]}
            </option>
          ))}
        </select>
        <span className="toolbar-spacer" />
        <span className="catalog-count muted" data-testid="catalog-count">
          {countText(p.count.shown, p.count.loaded)}
        </span>
      </div>
      <div className="catalog-toolbar-row">
        <button type="button" className="btn btn-primary" onClick={p.onAdd} data-testid="catalog-add">
          + Добавить
        </button>
        <button type="button" className="btn" onClick={p.onImport} data-testid="catalog-import">
          Импорт Excel/CSV
        </button>
        <button type="button" className="btn" onClick={p.onExport} data-testid="catalog-export">
          Экспорт Excel
        </button>
        <button type="button" className="btn" onClick={p.onMerge} data-testid="catalog-merge">
          Дополнить стандартным
        </button>
      </div>
      {p.message && (
        <div className={isError ? 'error-line' : 'info-line'} role={isError ? 'alert' : 'status'} data-testid="catalog-message">
          {p.message}
        </div>
      )}
    </header>
  );
}
