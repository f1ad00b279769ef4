// Puts the proposal panel into the editor's place for it.

import { provideEditorSlots } from '../editorSlots';
import { ProposalPanel } from './ProposalPanel';

export function installProposalPanel(): void {
  provideEditorSlots({
    proposal: ({ data, store, figures, onClose }) => (
      <ProposalPanel data={data} figures={figures} update={(change) => store.update(change)} onClose={onClose} />
    ),
  });
}
