// What a grid row can ask of the screen. One stable object, so rows stay memoized.

import type { ClipboardEvent, KeyboardEvent, MouseEvent, PointerEvent } from 'react';
import type { CellCol } from '../../../grid/keyboard';
import type { EstimateLine } from '../../../model/types';
import type { CatalogItem } from '../../../suggestions/catalogItem';

export type NumberField = 'quantity' | 'unit_price' | 'fixed_total' | 'cost_price';

export interface RowActions {
  setName(row: number, name: string): void;
  /** A suggestion was chosen for the row's name: the line is filled from the item. */
  chooseItem(row: number, item: CatalogItem): void;
  setUnit(row: number, unit: string): void;
  setSku(row: number, sku: string): void;
  setNumber(row: number, field: NumberField, value: number | undefined): void;
  setType(row: number, lineType: string): void;
  cycleCategory(row: number): void;
  remove(row: number): void;
  /** A field of the name, unit, quantity, price or sum column took the focus. */
  cellFocused(row: number, col: CellCol): void;
  cellKey(row: number, col: CellCol, e: KeyboardEvent<HTMLInputElement>): void;
  /** The plain unit field of a row without the focus was entered: the full field takes over. */
  unitHandOver(row: number): void;
  /** A paste into a cell field: one value goes in as typed, a block fills the grid from the cell. */
  paste(row: number, col: CellCol, e: ClipboardEvent<HTMLInputElement>): void;
  gripDown(row: number, e: PointerEvent<HTMLElement>): void;
  rowMenu(row: number, e: MouseEvent<HTMLElement>): void;
  /** The pencil of a linked line: opens the catalog item. */
  editItem(row: number): void;
}

export interface GridColumn {
  id: string;
  title: string;
}

export type { EstimateLine };
