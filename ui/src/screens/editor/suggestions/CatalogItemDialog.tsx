// The catalog item behind a linked line, edited in place (the pencil button of the name cell).
// It loads the item first; a deleted item is reported and the dialog closes; a failed save
// says why and keeps the dialog open with what the user typed.

import { useEffect, useId, useRef, useState } from 'react';
import { UnitField } from '../../../components/UnitField';
import { invoke, showMessage } from '../../../platform';
import type { CatalogItem } from '../../../suggestions/catalogItem';
import { NumberField } from '../totals/NumberField';
import './suggestions.css';

export const ITEM_MISSING_TEXT = 'Позиция удалена из справочника.';
export const ITEM_LOAD_FAILED = 'Не удалось открыть позицию справочника: ';
export const ITEM_SAVE_FAILED = 'Не удалось сохранить: ';
// The native side's text for an id without a row.
const NO_ROWS = 'Query returned no rows';

const TYPES = [
  ['full', 'Полная'],
  ['fixed', 'Фикс. сумма'],
  ['quantity_only', 'Без цены'],
] as const;
const CATEGORIES = [
  ['work', 'Работа'],
  ['material', 'Материал'],
  ['equipment', 'Техника'],
] as const;

export interface CatalogItemDialogProps {
  itemId: number;
  /** The saved item: the editor fills its line from it as if it had been chosen. */
  onSaved: (item: CatalogItem) => void;
  onClose: () => void;
  /** The item no longer exists: the editor drops the line's stale link. */
  onMissing?: () => void;
}

const message = (e: unknown) => (e instanceof Error ? e.message : String(e));

export function CatalogItemDialog({ itemId, onSaved, onClose, onMissing }: CatalogItemDialogProps) {
  const [item, setItem] = useState<CatalogItem | null>(null);
  const [saving, setSaving] = useState(false);
  const [error, setError] = useState('');
  const ids = { title: useId(), name: useId(), unit: useId(), type: useId(), category: useId(), price: useId() };
  const nameInput = useRef<HTMLInputElement>(null);
  const handlers = useRef({ onClose, onMissing });
  handlers.current = { onClose, onMissing };

  useEffect(() => {
    let live = true;
    invoke<CatalogItem>('get_catalog_item', { id: itemId }).then(
      (loaded) => live && setItem(loaded),
      async (e: unknown) => {
        if (!live) return;
        const text = message(e);
        const missing = text === NO_ROWS;
        if (missing) handlers.current.onMissing?.();
        handlers.current.onClose();
        await showMessage(missing ? ITEM_MISSING_TEXT : ITEM_LOAD_FAILED + text);
      },
    );
    return () => {
      live = false;
    };
  }, [itemId]);

  useEffect(() => {
    if (item) nameInput.current?.focus();
  }, [item !== null]); // eslint-disable-line react-hooks/exhaustive-deps -- focus once, when the form appears

  const set = (patch: Partial<CatalogItem>) => setItem((i) => (i ? { ...i, ...patch } : i));

  const save = async () => {
    if (!item || item.name.trim() === '' || saving) return;
    setSaving(true);
    setError('');
    try {
      const saved = await invoke<CatalogItem>('save_catalog_item', { item });
      onSaved(saved);
      onClose();
    } catch (e) {
      setError(ITEM_SAVE_FAILED + message(e));
      setSaving(false);
    }
  };

  return (
    <div className="item-dialog-backdrop" onMouseDown={(e) => e.target === e.currentTarget && onClose()}>
      <div
        className="item-dialog"
        role="dialog"
        aria-modal="true"
        aria-labelledby={item ? ids.title : undefined}
        aria-label={item ? undefined : 'Загрузка…'}
        data-testid="item-dialog"
        onKeyDown={(e) => {
          if (e.key === 'Escape') onClose();
        }}
      >
        {!item ? (
          <p className="muted" data-testid="item-dialog-loading">
            Загрузка…
          </p>
        ) : (
          <>
            <h2 id={ids.title}>Позиция справочника</h2>
            <div className="item-dialog-field">
              <label htmlFor={ids.name}>Наименование</label>
              <input ref={nameInput} id={ids.name} className="input" value={item.name} data-testid="item-name" onChange={(e) => set({ name: e.target.value })} />
            </div>
            <div className="item-dialog-pair">
              <div className="item-dialog-field">
                <label htmlFor={ids.unit}>Ед.изм.</label>
                <UnitField id={ids.unit} value={item.unit ?? ''} onChange={(unit) => set({ unit })} />
              </div>
              <div className="item-dialog-field">
                <label htmlFor={ids.type}>Тип</label>
                <select id={ids.type} className="input" value={item.line_type || 'full'} data-testid="item-type" onChange={(e) => set({ line_type: e.target.value })}>
                  {TYPES.map(([value, label]) => (
                    <option key={value} value={value}>
                      {label}
                    </option>
                  ))}
                </select>
              </div>
            </div>
            <div className="item-dialog-pair">
              <div className="item-dialog-field">
                <label htmlFor={ids.category}>Категория</label>
                <select id={ids.category} className="input" value={item.category || 'work'} data-testid="item-category" onChange={(e) => set({ category: e.target.value })}>
                  {CATEGORIES.map(([value, label]) => (
                    <option key={value} value={value}>
                      {label}
                    </option>
                  ))}
                </select>
              </div>
              <div className="item-dialog-field">
                <label htmlFor={ids.price}>{item.line_type === 'fixed' ? 'Сумма' : 'Цена по умолчанию'}</label>
                <NumberField id={ids.price} className="input" value={item.default_price ?? 0} data-testid="item-price" onValue={(default_price) => set({ default_price })} />
              </div>
            </div>
            {error && (
              <p className="error-line" role="alert" data-testid="item-dialog-error">
                {error}
              </p>
            )}
            <div className="item-dialog-buttons">
              <button type="button" className="btn" data-testid="item-cancel" onClick={onClose}>
                Отмена
              </button>
              <button type="button" className="btn btn-primary" disabled={saving} data-testid="item-save" onClick={() => void save()}>
                Сохранить
              </button>
            </div>
          </>
        )}
      </div>
    </div>
  );
}
