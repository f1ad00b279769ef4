// First screen until the estimate list arrives: shows the version and that the
// native side answers.

import { useEffect, useState } from 'react';
import { invoke, listen } from '../platform';
import { APP_VERSION } from '../version';

type Link = { state: 'checking' } | { state: 'ok'; detail: string } | { state: 'failed'; detail: string };

export function StartScreen() {
  const [link, setLink] = useState<Link>({ state: 'checking' });
  const [lastEvent, setLastEvent] = useState<string | null>(null);

  useEffect(() => {
    // Any answer from the dispatcher, even a refusal, proves the round trip.
    invoke<unknown>('evaluate_formula_cmd', { expr: '2+2', vars: {} })
      .then((value) => setLink({ state: 'ok', detail: `2+2 = ${String(value)}` }))
      .catch((e: unknown) => {
        const text = e instanceof Error ? e.message : String(e);
        const answered = e instanceof Error && e.name === 'CommandFailure' && !text.startsWith('нет связи');
        setLink(answered ? { state: 'ok', detail: text } : { state: 'failed', detail: text });
      });
    const offSave = listen('global-save', () => setLastEvent('global-save'));
    const offOpen = listen('global-open', () => setLastEvent('global-open'));
    return () => {
      offSave();
      offOpen();
    };
  }, []);

  return (
    <main className="start" data-testid="start-screen">
      <h1 className="start-title">Calcora</h1>
      <p className="start-version" data-testid="app-version">
        Версия {APP_VERSION}
      </p>
      <p className="start-link" data-testid="core-link" data-state={link.state}>
        {link.state === 'checking' && 'Связь с ядром…'}
        {link.state === 'ok' && 'Ядро отвечает'}
        {link.state === 'failed' && `Нет связи с ядром: ${link.detail}`}
      </p>
      {lastEvent && <p data-testid="last-event">{lastEvent}</p>}
    </main>
  );
}
