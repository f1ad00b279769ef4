// Where the panels plug into the editor: each slot renders its panel with the open estimate,
// the store (its update function) and the current row. An empty slot shows nothing, or, for
// the totals, the editor's own short summary.

import type { ReactNode } from 'react';
import type { EstimateStore } from '../../estimateStore';
import type { EstimatePayload } from '../../model/types';

export interface SlotProps {
  data: EstimatePayload;
  store: EstimateStore;
  currentRow: number;
}

export interface EditorSlots {
  /** The totals panel at the right; onHide hides it (the "Итог" button shows it again). */
  totals?: (props: SlotProps & { onHide: () => void }) => ReactNode;
  /** The calculators panel (mask `calculators`). */
  calculators?: (props: SlotProps) => ReactNode;
  /** The formula bar under the grid (mask `calculators`). */
  formulaBar?: (props: SlotProps) => ReactNode;
  /** The proposal editor above the body (mask `proposal`, while open). */
  proposal?: (props: SlotProps & { onClose: () => void }) => ReactNode;
  /** The pencil of a linked line: the catalog item dialog. */
  onEditItem?: (row: number) => void;
}

export const editorSlots: EditorSlots = {};

export function provideEditorSlots(slots: EditorSlots): void {
  Object.assign(editorSlots, slots);
}
