// Opens the catalog item dialog for the line whose pencil was pressed, and puts what the
// dialog saved into that line as if the item had been chosen from the suggestions.

import { useCallback, useRef, useState } from 'react';
import type { EstimateStore } from '../../../estimateStore';
import type { EstimateLine, EstimatePayload } from '../../../model/types';
import { fillLineFromItem } from '../../../suggestions/fillLine';
import { CatalogItemDialog } from './CatalogItemDialog';

export interface ItemDialogState {
  target: { row: number; itemId: number } | null;
  open: (row: number) => void;
  close: () => void;
}

export function useItemDialog(data: EstimatePayload): ItemDialogState {
  const [target, setTarget] = useState<ItemDialogState['target']>(null);
  const latest = useRef(data);
  latest.current = data;
  const open = useCallback((row: number) => {
    const itemId = latest.current.lines[row]?.catalog_item_id;
    if (typeof itemId === 'number') setTarget({ row, itemId });
  }, []);
  const close = useCallback(() => setTarget(null), []);
  return { target, open, close };
}

export function ItemDialogHost({ dialog, store }: { dialog: ItemDialogState; store: EstimateStore }) {
  const { target } = dialog;
  if (!target) return null;
  const changeLine = (change: (line: EstimateLine) => EstimateLine) =>
    store.updateLines((lines) => lines.map((l, i) => (i === target.row && l.catalog_item_id === target.itemId ? change(l) : l)));
  return (
    <CatalogItemDialog
      key={`${target.row}:${target.itemId}`}
      itemId={target.itemId}
      onClose={dialog.close}
      onSaved={(item) => changeLine((l) => fillLineFromItem(l, item))}
      onMissing={() => changeLine((l) => ({ ...l, catalog_item_id: null }))}
    />
  );
}
