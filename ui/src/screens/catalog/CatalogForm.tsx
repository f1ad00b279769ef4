// The edit form above the table: a new item or a change of one.

import { useState } from 'react';
import { UnitField } from '../../components/UnitField';
import { CATEGORIES, CATEGORY_LABELS, LINE_TYPES, readPrice, TYPE_LABELS, type CatalogItem } from './catalogModel';
import { plainNumber } from '../../numbers/numberText';

export const PRICE_NOT_NUMBER = 'Цена должна быть числом';

interface Props {
  item: CatalogItem;
  saving: boolean;
  onSave: (item: CatalogItem) => void;
  onCancel: () => void;
  onInvalid: (text: string) => void;
}

export function CatalogForm({ item, saving, onSave, onCancel, onInvalid }: Props) {
  const [draft, setDraft] = useState(item);
  const [price, setPrice] = useState(plainNumber(item.default_price));
  const set = (patch: Partial<CatalogItem>) => setDraft((d) => ({ ...d, ...patch }));

  const save = () => {
    if (draft.name.trim() === '') return;
    const value = readPrice(price);
    if (value === 'invalid') {
      onInvalid(PRICE_NOT_NUMBER);
      return;
    }
    onSave({ ...draft, default_price: value });
  };
  const onEnter = (e: React.KeyboardEvent) => {
    if (e.key === 'Enter') save();
  };

  return (
    <div className="panel catalog-form" role="group" aria-label={item.id === null ? 'Новая позиция' : 'Позиция справочника'} data-testid="catalog-form">
      <label className="field field-name">
        <span>Наименование</span>
        <input className="input" value={draft.name} autoFocus onChange={(e) => set({ name: e.target.value })} onKeyDown={onEnter} data-testid="catalog-form-name" />
      </label>
      <label className="field field-unit">
        <span>Ед.изм.</span>
        <UnitField value={draft.unit ?? ''} onChange={(unit) => set({ unit })} />
      </label>
      <label className="field">
        <span>Тип</span>
        <select className="input" value={draft.line_type} onChange={(e) => set({ line_type: e.target.value })} data-testid="catalog-form-type">
          {LINE_TYPES.map((t) => (
            <option key={t} value={t}>
              {TYPE_LABELS[t]}
            </option>
          ))}
        </select>
      </label>
      <label className="field">
        <span>Категория</span>
        <select className="input" value={draft.category} onChange={(e) => set({ category: e.target.value })} data-testid="catalog-form-category">
          {CATEGORIES.map((c) => (
            <option key={c} value={c}>
              {CATEGORY_LABELS[c]}
            </option>
          ))}
        </select>
      </label>
      <label className="field field-price">
        <span>{draft.line_type === 'fixed' ? 'Сумма' : 'Цена'}</span>
        <input className="input num" inputMode="decimal" value={price} onChange={(e) => setPrice(e.target.value)} onKeyDown={onEnter} data-testid="catalog-form-price" />
      </label>
      <div className="catalog-form-buttons">
        <button type="button" className="btn btn-primary" disabled={saving} onClick={save} data-testid="catalog-form-save">
          Сохранить
        </button>
        <button type="button" className="btn" onClick={onCancel} data-testid="catalog-form-cancel">
          Отмена
        </button>
      </div>
    </div>
  );
}
