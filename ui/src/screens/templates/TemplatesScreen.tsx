// The templates: choose the default one, or start an estimate from any of them.

import { Check, FilePlus2 } from 'lucide-react';
import { useState } from 'react';
import { createAndOpen, DEFAULT_ESTIMATE_NAME } from '../list/createEstimate';
import { writeSettings } from '../../settings/settings';
import { useSettings } from '../../settings/useSettings';
import { TEMPLATES } from '../../templates/templates';

export function TemplatesScreen() {
  const settings = useSettings();
  const [creating, setCreating] = useState(false);
  const [error, setError] = useState('');

  const create = async (templateId: string) => {
    setCreating(true);
    setError('');
    try {
      writeSettings({ defaultTemplate: templateId });
      await createAndOpen(DEFAULT_ESTIMATE_NAME, templateId);
    } catch (e) {
      setError(e instanceof Error ? e.message : String(e));
    } finally {
      setCreating(false);
    }
  };

  return (
    <section className="screen" data-testid="screen-templates">
      <div className="screen-body">
        <div className="screen-column templates-column">
          <h1>Шаблоны смет</h1>
          {error && (
            <div className="error-line" role="alert" data-testid="templates-error">
              Ошибка: {error}
            </div>
          )}
          {TEMPLATES.map((t) => {
            const isDefault = settings.defaultTemplate === t.id;
            return (
              <article key={t.id} className={`panel template-card${isDefault ? ' is-default' : ''}`} data-testid={`template-${t.id}`}>
                <div className="template-text">
                  <div className="template-title">
                    <h2>{t.name}</h2>
                    {isDefault && (
                      <span className="badge" data-testid="template-default-badge">
                        По умолчанию
                      </span>
                    )}
                  </div>
                  <p className="muted">{t.description}</p>
                </div>
                <div className="template-actions">
                  <button
                    type="button"
                    className="btn btn-ghost"
                    disabled={isDefault}
                    onClick={() => writeSettings({ defaultTemplate: t.id })}
                    data-testid="template-make-default"
                  >
                    <Check strokeWidth={1.75} />
                    Сделать по умолчанию
                  </button>
                  <button type="button" className="btn" disabled={creating} onClick={() => void create(t.id)} data-testid="template-create">
                    <FilePlus2 strokeWidth={1.75} />
                    Создать смету
                  </button>
                </div>
              </article>
            );
          })}
        </div>
      </div>
    </section>
  );
}
