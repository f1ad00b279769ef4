// Where the file flows plug into the estimate list: the export menu of a row and
// "Открыть свой Excel". Until they are provided the buttons are shown disabled.

import type { ReactNode } from 'react';
import type { EstimateSummary } from '../../model/types';

export interface ListFileActions {
  /** Renders the export menu button of one row. */
  exportMenu?: (estimate: EstimateSummary) => ReactNode;
  /** Asks for a workbook or exchange file and opens it. */
  openOwnFile?: () => Promise<void>;
}

export const listFileActions: ListFileActions = {};

export function provideListFileActions(actions: ListFileActions): void {
  Object.assign(listFileActions, actions);
}
