// Small labelled fields of the settings screen: the caption is a real label.

import type { ReactNode } from 'react';

export function SelectField<T extends string>(props: {
  label: string;
  value: T;
  options: readonly { value: T; label: string }[];
  onChange: (value: T) => void;
  testId: string;
}) {
  return (
    <label className="field settings-field">
      <span>{props.label}</span>
      <select className="input" value={props.value} onChange={(e) => props.onChange(e.target.value as T)} data-testid={props.testId}>
        {props.options.map((o) => (
          <option key={o.value} value={o.value}>
            {o.label}
          </option>
        ))}
      </select>
    </label>
  );
}

export function Note({ children }: { children: ReactNode }) {
  return <p className="settings-note muted">{children}</p>;
}

export const fontOptions = (fonts: readonly string[]) => fonts.map((f) => ({ value: f, label: f }));
