// The price catalog: search, filters, the table, the edit form, and the catalog's files.

import { useCallback, useDeferredValue, useMemo, useRef, useState } from 'react';
import { askConfirm, invoke, showMessage } from '../../platform';
import { filterItems, newCatalogItem, type CatalogItem, type CategoryFilter, type TypeFilter } from './catalogModel';
import { exportCatalog, importCatalog, mergeStandard } from './catalogActions';
import { CatalogForm } from './CatalogForm';
import { CatalogTable } from './CatalogTable';
import { CatalogToolbar } from './CatalogToolbar';
import { useCatalogList } from './useCatalogList';
import './catalog.css';

export const DELETE_QUESTION = 'Удалить позицию?';

export function CatalogScreen() {
  const [search, setSearch] = useState('');
  const [type, setType] = useState<TypeFilter>('all');
  const [category, setCategory] = useState<CategoryFilter>('all');
  const [editing, setEditing] = useState<CatalogItem | null>(null);
  const [formKey, setFormKey] = useState(0);
  const [saving, setSaving] = useState(false);
  const [message, setMessage] = useState('');
  const scroller = useRef<HTMLDivElement>(null);
  const { items, loading, reload, setItems } = useCatalogList(search, setMessage);

  // The table follows the filters a moment later than the toolbar, so typing and
  // choosing never wait for it.
  const deferredItems = useDeferredValue(items);
  const deferredType = useDeferredValue(type);
  const deferredCategory = useDeferredValue(category);
  const shown = useMemo(() => filterItems(deferredItems, deferredType, deferredCategory), [deferredItems, deferredType, deferredCategory]);

  const openForm = useCallback((item: CatalogItem) => {
    setEditing(item);
    setFormKey((k) => k + 1);
  }, []);

  const save = async (item: CatalogItem) => {
    setSaving(true);
    setMessage('');
    try {
      await invoke<CatalogItem>('save_catalog_item', { item });
      setEditing(null);
      await reload();
    } catch (e) {
      setMessage(`Ошибка: ${e instanceof Error ? e.message : String(e)}`);
    } finally {
      setSaving(false);
    }
  };

  const remove = useCallback(
    async (item: CatalogItem) => {
      if (!(await askConfirm(DELETE_QUESTION))) return;
      try {
        await invoke<null>('delete_catalog_item', { id: item.id });
        setItems((list) => list.filter((i) => i.id !== item.id));
        setEditing((open) => (open?.id === item.id ? null : open));
      } catch (e) {
        await showMessage(e instanceof Error ? e.message : String(e));
        await reload();
      }
    },
    [reload, setItems],
  );

  const onDelete = useCallback((item: CatalogItem) => void remove(item), [remove]);

  const runFileAction = async (action: () => Promise<string | null>, reloadAfter: boolean) => {
    setMessage('');
    const text = await action();
    if (text) setMessage(text);
    if (reloadAfter && text) await reload();
  };

  const merge = async () => {
    setMessage('');
    if (await mergeStandard()) await reload();
  };

  return (
    <section className="screen" data-testid="screen-catalog">
      <CatalogToolbar
        search={search}
        onSearch={setSearch}
        type={type}
        onType={setType}
        category={category}
        onCategory={setCategory}
        count={{ shown: shown.length, loaded: deferredItems.length }}
        message={message}
        onAdd={() => openForm(newCatalogItem())}
        onImport={() => void runFileAction(importCatalog, true)}
        onExport={() => void runFileAction(exportCatalog, false)}
        onMerge={() => void merge()}
      />
      <div className="screen-body" ref={scroller}>
        <div className="list-column">
          {editing && (
            <CatalogForm
              key={formKey}
              item={editing}
              saving={saving}
              onSave={(item) => void save(item)}
              onCancel={() => setEditing(null)}
              onInvalid={setMessage}
            />
          )}
          {loading ? (
            <p className="loading" data-testid="catalog-loading">
              Загрузка…
            </p>
          ) : shown.length === 0 ? (
            <p className="loading" data-testid="catalog-empty">
              Ничего не найдено
            </p>
          ) : (
            <CatalogTable items={shown} scroller={scroller} onEdit={openForm} onDelete={onDelete} />
          )}
        </div>
      </div>
    </section>
  );
}
