// The user guide with its search.

import { Search } from 'lucide-react';
import { useEffect, useMemo, useRef, useState } from 'react';
import { NO_HITS_TEXT, searchTopics } from '../../help/topics';

export function HelpScreen() {
  const [query, setQuery] = useState('');
  const field = useRef<HTMLInputElement>(null);
  const topics = useMemo(() => searchTopics(query), [query]);

  useEffect(() => field.current?.focus(), []);

  return (
    <section className="screen" data-testid="screen-help">
      <div className="screen-body">
        <div className="screen-column help-column">
          <header className="help-head">
            <h1>Руководство пользователя</h1>
            <p className="muted">Полная справка по редактору. Открывается также клавишей F1.</p>
          </header>
          <label className="search-field">
            <Search strokeWidth={1.75} aria-hidden="true" />
            <input
              ref={field}
              className="input"
              type="search"
              placeholder="Поиск: наценка, справочник, Excel…"
              aria-label="Поиск по руководству"
              value={query}
              onChange={(e) => setQuery(e.target.value)}
              data-testid="help-search"
            />
          </label>
          {topics.length === 0 && (
            <p className="panel help-empty" data-testid="help-no-hits">
              {NO_HITS_TEXT}
            </p>
          )}
          {topics.map((t) => (
            <article key={t.id} id={t.id} className="panel help-topic" data-testid="help-topic">
              <h2>{t.title}</h2>
              {t.paragraphs.map((p, i) => (
                <p key={i}>{p}</p>
              ))}
            </article>
          ))}
        </div>
      </div>
    </section>
  );
}
