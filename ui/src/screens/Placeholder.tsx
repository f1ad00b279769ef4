// A section whose screen is not in this build yet.
import type { ReactNode } from 'react';

export function Placeholder({ title, testId, children }: { title: string; testId: string; children?: ReactNode }) {
  return (
    <section className="screen" data-testid={testId}>
      <header className="toolbar">
        <h1>{title}</h1>
      </header>
      <div className="screen-body">{children}</div>
    </section>
  );
}
