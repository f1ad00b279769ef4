// The page's own modal dialogs, used where no native ones exist (a browser on the
// loopback host): message, confirmation and a path field for open and save.

import { useEffect, useRef, useState } from 'react';
import { pathInFolder, setDialogPresenter, type DialogAnswer, type DialogRequest } from './dialogs';
import './dialogs.css';

interface Pending {
  request: DialogRequest;
  resolve: (answer: DialogAnswer) => void;
}

function titleOf(request: DialogRequest): string {
  switch (request.kind) {
    case 'alert':
      return 'Calcora';
    case 'confirm':
      return 'Подтверждение';
    case 'open':
      return request.options.title ?? 'Открыть файл';
    case 'save':
      return request.options.title ?? 'Сохранить файл';
  }
}

export function DialogHost() {
  const [queue, setQueue] = useState<Pending[]>([]);
  const [path, setPath] = useState('');
  const inputRef = useRef<HTMLInputElement>(null);
  const okRef = useRef<HTMLButtonElement>(null);
  const current = queue[0];

  useEffect(() => {
    setDialogPresenter((request) => new Promise((resolve) => setQueue((q) => [...q, { request, resolve }])));
    return () => setDialogPresenter(null);
  }, []);

  useEffect(() => {
    if (!current) return;
    const r = current.request;
    setPath(r.kind === 'save' ? pathInFolder(r.options.folder ?? '', r.options.defaultName ?? '') : '');
    queueMicrotask(() => (r.kind === 'open' || r.kind === 'save' ? inputRef.current?.focus() : okRef.current?.focus()));
  }, [current]);

  if (!current) return null;
  const { request } = current;
  const isFile = request.kind === 'open' || request.kind === 'save';

  const finish = (answer: DialogAnswer) => {
    current.resolve(answer);
    setQueue((q) => q.slice(1));
  };
  const accept = () => finish(isFile ? path.trim() || null : request.kind === 'confirm' ? true : undefined);
  const cancel = () => finish(isFile ? null : request.kind === 'confirm' ? false : undefined);
  const filters = isFile ? (request.options.filters ?? []) : [];

  return (
    <div className="dlg-backdrop" data-testid="dialog-backdrop">
      <div
        className="dlg"
        role="dialog"
        aria-modal="true"
        aria-labelledby="dlg-title"
        data-testid={`dialog-${request.kind}`}
        onKeyDown={(e) => {
          if (e.key === 'Escape') cancel();
          if (e.key === 'Enter') accept();
          e.stopPropagation();
        }}
      >
        <h2 id="dlg-title" className="dlg-title">
          {titleOf(request)}
        </h2>
        {!isFile && <p className="dlg-message">{request.message}</p>}
        {isFile && (
          <label className="dlg-field">
            <span>Путь к файлу</span>
            <input
              ref={inputRef}
              data-testid="dialog-path"
              value={path}
              spellCheck={false}
              onChange={(e) => setPath(e.target.value)}
            />
            {filters.length > 0 && (
              <small className="dlg-hint">
                {filters.map((f) => `${f.name} (${f.extensions.map((x) => '*.' + x).join(', ')})`).join('; ')}
              </small>
            )}
          </label>
        )}
        <div className="dlg-buttons">
          {request.kind !== 'alert' && (
            <button type="button" className="dlg-button" data-testid="dialog-cancel" onClick={cancel}>
              Отмена
            </button>
          )}
          <button
            type="button"
            ref={okRef}
            className="dlg-button dlg-button-primary"
            data-testid="dialog-ok"
            onClick={accept}
          >
            {request.kind === 'open' ? 'Открыть' : request.kind === 'save' ? 'Сохранить' : 'OK'}
          </button>
        </div>
      </div>
    </div>
  );
}
