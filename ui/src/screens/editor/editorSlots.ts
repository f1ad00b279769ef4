// Where panels from outside the editor plug into it: each slot renders its panel with the
// open estimate, the store (its update function) and the current row. An empty slot shows
// nothing.

import type { ReactNode } from 'react';
import type { EstimateStore } from '../../estimateStore';
import type { EstimatePayload } from '../../model/types';
import type { EstimateFigures } from './totals/useEstimateTotals';

export interface SlotProps {
  data: EstimatePayload;
  store: EstimateStore;
  currentRow: number;
  /** The estimate's live figures, as the totals panel shows them. */
  figures: EstimateFigures;
}

export interface EditorSlots {
  /** The proposal editor above the body (mask `proposal`, while open). */
  proposal?: (props: SlotProps & { onClose: () => void }) => ReactNode;
}

export const editorSlots: EditorSlots = {};

export function provideEditorSlots(slots: EditorSlots): void {
  Object.assign(editorSlots, slots);
}
