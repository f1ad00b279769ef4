// The start screen: the user's estimates, and the ways to make a new one.

import { FolderOpen } from 'lucide-react';
import { useCallback, useEffect, useState } from 'react';
import { askConfirm, invoke } from '../../platform';
import type { EstimatePayload, EstimateSummary } from '../../model/types';
import { editorPath, navigate } from '../../router/router';
import { createAndOpen, estimateName, SAMPLE_ESTIMATE_NAME } from './createEstimate';
import { EmptyList } from './EmptyList';
import { EstimateTable } from './EstimateTable';
import { listFileActions } from './fileActions';

const DELETE_QUESTION = 'Удалить смету?';

function failureText(e: unknown): string {
  return e instanceof Error ? e.message : String(e);
}

export function EstimateListScreen() {
  const [items, setItems] = useState<EstimateSummary[] | null>(null);
  const [name, setName] = useState('');
  const [creating, setCreating] = useState(false);
  const [busyId, setBusyId] = useState<number | null>(null);
  const [error, setError] = useState('');

  const reload = useCallback(async () => {
    try {
      setItems(await invoke<EstimateSummary[]>('list_estimates'));
    } catch (e) {
      setItems((current) => current ?? []);
      setError(failureText(e));
    }
  }, []);

  useEffect(() => {
    void reload();
  }, [reload]);

  const run = async (work: () => Promise<void>) => {
    setError('');
    try {
      await work();
    } catch (e) {
      setError(failureText(e));
    }
  };

  const create = () =>
    run(async () => {
      if (creating) return;
      setCreating(true);
      try {
        await createAndOpen(estimateName(name));
        setName('');
      } finally {
        setCreating(false);
      }
    });

  const createSample = () =>
    run(async () => {
      setCreating(true);
      try {
        await createAndOpen(SAMPLE_ESTIMATE_NAME, 'finishing');
      } finally {
        setCreating(false);
      }
    });

  const duplicate = (item: EstimateSummary) =>
    run(async () => {
      setBusyId(item.id);
      try {
        const copy = await invoke<EstimatePayload>('duplicate_estimate', { id: item.id });
        navigate(editorPath(copy.estimate.id));
      } finally {
        setBusyId(null);
      }
    });

  const remove = (item: EstimateSummary) =>
    run(async () => {
      if (!(await askConfirm(DELETE_QUESTION))) return;
      setBusyId(item.id);
      try {
        await invoke<null>('delete_estimate', { id: item.id });
      } finally {
        setBusyId(null);
        await reload();
      }
    });

  const openOwn = listFileActions.openOwnFile;

  return (
    <section className="screen" data-testid="screen-list">
      <header className="toolbar">
        <h1>Сметы</h1>
        <input
          className="input toolbar-name"
          placeholder="Название объекта"
          aria-label="Название объекта"
          value={name}
          onChange={(e) => setName(e.target.value)}
          onKeyDown={(e) => {
            if (e.key === 'Enter') void create();
          }}
          data-testid="new-estimate-name"
        />
        <button type="button" className="btn btn-primary" disabled={creating} onClick={() => void create()} data-testid="new-estimate">
          + Новая смета
        </button>
        <button type="button" className="btn" disabled={!openOwn} onClick={() => void openOwn?.()} data-testid="open-own-excel">
          <FolderOpen strokeWidth={1.75} />
          Открыть свой Excel
        </button>
      </header>
      <div className="screen-body">
        <div className="list-column">
          {error && (
            <div className="error-line" role="alert" data-testid="list-error">
              Ошибка: {error}
            </div>
          )}
          {items === null ? (
            <p className="loading" data-testid="list-loading">
              Загрузка…
            </p>
          ) : items.length === 0 ? (
            <EmptyList busy={creating} onNew={() => void create()} onSample={() => void createSample()} />
          ) : (
            <EstimateTable items={items} busyId={busyId} onDuplicate={(i) => void duplicate(i)} onDelete={(i) => void remove(i)} />
          )}
        </div>
      </div>
    </section>
  );
}
