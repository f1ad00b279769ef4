// One group of the editor's toolbar: its tools in a row and a small caption under them.

import type { ReactNode } from 'react';

export function ToolGroup({ caption, children, labelFor, testId }: { caption: string; children: ReactNode; labelFor?: string; testId?: string }) {
  return (
    <div className="tool-group" role="group" aria-label={caption} data-testid={testId}>
      <div className="tool-row">{children}</div>
      {labelFor ? (
        <label className="tool-caption" htmlFor={labelFor}>
          {caption}
        </label>
      ) : (
        <span className="tool-caption" aria-hidden="true">
          {caption}
        </span>
      )}
    </div>
  );
}
