// The editor's address. Until the editing grid is in place it shows the open estimate for reading.

import { ArrowLeft } from 'lucide-react';
import { useEffect } from 'react';
import { estimateStore, useEstimateStore } from '../../estimateStore';
import { Link } from '../../router/Link';
import { EstimatePreview } from './EstimatePreview';

export function EditorScreen({ id }: { id: number }) {
  const { data, error, saving } = useEstimateStore();
  useEffect(() => {
    void estimateStore.load(id);
  }, [id]);
  const shown = data && data.estimate.id === id ? data : null;

  return (
    <section className="screen" data-testid="screen-editor">
      <header className="toolbar">
        <Link to="/" className="btn btn-ghost" aria-label="К списку смет" title="К списку смет">
          <ArrowLeft strokeWidth={1.75} />
        </Link>
        <h1 data-testid="editor-title">{shown ? shown.estimate.object_name || 'Без названия' : ''}</h1>
        <span className="toolbar-spacer" />
        {saving && <span className="muted">Сохранение…</span>}
      </header>
      <div className="screen-body">
        {error && (
          <div className="error-line" role="alert" data-testid="editor-error">
            {error}
          </div>
        )}
        {shown ? <EstimatePreview data={shown} /> : !error && <p className="loading">Загрузка…</p>}
      </div>
    </section>
  );
}
