// The estimate editor (/editor/<id>): loads the estimate into the store and shows the editor
// once it is there, or the load's error.

import { useEffect } from 'react';
import { estimateStore, useEstimateStore } from '../../estimateStore';
import { EditorView } from './EditorView';
import './editor.css';
import './print.css';

export function EditorScreen({ id }: { id: number }) {
  const snapshot = useEstimateStore();
  useEffect(() => {
    void estimateStore.load(id);
  }, [id]);
  const data = snapshot.data && snapshot.data.estimate.id === id ? snapshot.data : null;

  if (!data) {
    return (
      <section className="screen editor-screen" data-testid="screen-editor">
        {snapshot.error ? (
          <div className="error-line" role="alert" data-testid="editor-error">
            {snapshot.error}
          </div>
        ) : (
          <p className="loading">Загрузка…</p>
        )}
      </section>
    );
  }
  return <EditorView data={data} snapshot={snapshot} store={estimateStore} />;
}
