// The editor's toolbar: the title row (object name, save state) and the tool groups.

import { ArrowLeft } from 'lucide-react';
import { memo, type ReactNode } from 'react';
import { Link } from '../../../router/Link';
import { ToolGroup } from './ToolGroup';

export interface ToolbarProps {
  objectName: string;
  onObjectName: (name: string) => void;
  saving: boolean;
  /** The groups before "Файл", in order. */
  groups: ReactNode;
  onAddSection: () => void;
  onPrint: () => void;
  exportMenu: ReactNode;
  /** Present only when the mode offers the proposal. */
  onToggleProposal?: () => void;
  proposalOpen: boolean;
}

export function SaveState({ saving }: { saving: boolean }) {
  return (
    <span className="save-state" data-saving={saving ? '1' : '0'}>
      {saving ? 'Сохранение…' : 'Сохранено'}
    </span>
  );
}

export const Toolbar = memo(function Toolbar(p: ToolbarProps) {
  return (
    <header className="editor-toolbar" data-testid="editor-toolbar">
      <div className="title-row">
        <Link to="/" className="btn btn-ghost btn-icon" aria-label="К списку смет" title="К списку смет">
          <ArrowLeft strokeWidth={1.75} />
        </Link>
        <input
          className="input title-field"
          placeholder="Название объекта"
          aria-label="Название объекта"
          value={p.objectName}
          onChange={(e) => p.onObjectName(e.target.value)}
          data-testid="editor-title"
        />
        <span className="toolbar-spacer" />
        <SaveState saving={p.saving} />
      </div>
      <div className="tool-groups">
        {p.groups}
        <ToolGroup caption="Файл">
          <button type="button" className="btn tool" onClick={p.onAddSection} data-testid="add-section">
            Раздел
          </button>
          <button type="button" className="btn tool" onClick={p.onPrint} data-testid="print">
            Печать
          </button>
          {p.exportMenu}
          {p.onToggleProposal && (
            <button type="button" className={`btn tool${p.proposalOpen ? ' is-active' : ''}`} aria-pressed={p.proposalOpen} onClick={p.onToggleProposal} data-testid="proposal-toggle">
              КП
            </button>
          )}
        </ToolGroup>
      </div>
    </header>
  );
});
