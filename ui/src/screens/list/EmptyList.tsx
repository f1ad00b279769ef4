// What a user without estimates sees: three ways to start.
import { FilePlus2, FolderOpen, Sparkles } from 'lucide-react';
import { listFileActions } from './fileActions';

export function EmptyList({ busy, onNew, onSample }: { busy: boolean; onNew: () => void; onSample: () => void }) {
  const openOwn = listFileActions.openOwnFile;
  return (
    <div className="panel empty-panel" data-testid="empty-list">
      <h2>С чего начать</h2>
      <p>Имя объекта сверху, затем стол. Или откройте свой Excel. Либо возьмите пример сметы.</p>
      <div className="empty-actions">
        <button type="button" className="btn btn-primary" disabled={busy} onClick={onNew} data-testid="empty-new">
          <FilePlus2 strokeWidth={1.75} />
          Новая смета
        </button>
        <button type="button" className="btn" disabled={!openOwn} onClick={() => void openOwn?.()} data-testid="empty-open">
          <FolderOpen strokeWidth={1.75} />
          Открыть свой Excel
        </button>
        <button type="button" className="btn" disabled={busy} onClick={onSample} data-testid="empty-sample">
          <Sparkles strokeWidth={1.75} />
          Пример сметы
        </button>
      </div>
    </div>
  );
}
