// Toolbar groups "Шрифт", "Заливка" and "Абзац": they show the current row's format and
// write into it.

import { AlignCenter, AlignLeft, AlignRight, Bold, Italic } from 'lucide-react';
import { useEffect, useState } from 'react';
import { FILL_CHOICES, type LineFormat } from '../../../estimateStore';
import type { ShownFormat } from '../../../grid/lineEdits';
import { FONTS } from '../../../settings/settings';
import { ToolGroup } from './ToolGroup';

export interface FormatGroupsProps {
  shown: ShownFormat;
  disabled: boolean;
  onFormat: (change: Partial<LineFormat>) => void;
}

const SIZE_MIN = 10;
const SIZE_MAX = 24;

function SizeField({ size, disabled, onSize }: { size: number; disabled: boolean; onSize: (size: number) => void }) {
  const [text, setText] = useState(String(size));
  useEffect(() => setText(String(size)), [size]);
  const commit = () => {
    const n = Number(text.replace(',', '.'));
    if (text.trim() === '' || !Number.isFinite(n)) {
      setText(String(size));
      return;
    }
    const clamped = Math.min(SIZE_MAX, Math.max(SIZE_MIN, Math.round(n)));
    setText(String(clamped));
    if (clamped !== size) onSize(clamped);
  };
  return (
    <input
      className="input tool size-field"
      type="number"
      min={SIZE_MIN}
      max={SIZE_MAX}
      title="Размер"
      aria-label="Размер"
      disabled={disabled}
      value={text}
      onChange={(e) => {
        setText(e.target.value);
        // The spinner arrows give whole values in range: apply them at once.
        const n = Number(e.target.value);
        if (Number.isInteger(n) && n >= SIZE_MIN && n <= SIZE_MAX && n !== size) onSize(n);
      }}
      onBlur={commit}
      onKeyDown={(e) => e.key === 'Enter' && commit()}
      data-testid="font-size"
    />
  );
}

export function FormatGroups({ shown, disabled, onFormat }: FormatGroupsProps) {
  const fonts: readonly string[] = FONTS.includes(shown.font as never) ? FONTS : [shown.font, ...FONTS];
  return (
    <>
      <ToolGroup caption="Шрифт" labelFor="editor-font">
        <select id="editor-font" className="input tool font-select" disabled={disabled} value={shown.font} onChange={(e) => onFormat({ font: e.target.value })} data-testid="font-select">
          {fonts.map((f) => (
            <option key={f} value={f}>
              {f}
            </option>
          ))}
        </select>
        <SizeField size={shown.size} disabled={disabled} onSize={(size) => onFormat({ size })} />
        <button type="button" className={`btn tool btn-icon${shown.bold ? ' is-active' : ''}`} title="Жирный (Ctrl+B)" aria-label="Жирный" aria-pressed={shown.bold} disabled={disabled} onClick={() => onFormat({ bold: !shown.bold })} data-testid="format-bold">
          <Bold strokeWidth={2} />
        </button>
        <button type="button" className={`btn tool btn-icon${shown.italic ? ' is-active' : ''}`} title="Курсив" aria-label="Курсив" aria-pressed={shown.italic} disabled={disabled} onClick={() => onFormat({ italic: !shown.italic })} data-testid="format-italic">
          <Italic strokeWidth={2} />
        </button>
      </ToolGroup>
      <ToolGroup caption="Заливка">
        <button type="button" className={`btn tool${shown.fill ? '' : ' is-ringed'}`} title="Без заливки" disabled={disabled} onClick={() => onFormat({ fill: null })} data-testid="fill-none">
          Нет
        </button>
        {FILL_CHOICES.map((colour) => (
          <button
            key={colour}
            type="button"
            className={`swatch${shown.fill?.toUpperCase() === colour ? ' is-ringed' : ''}`}
            style={{ background: colour }}
            title={colour}
            aria-label={colour}
            aria-pressed={shown.fill?.toUpperCase() === colour}
            disabled={disabled}
            onClick={() => onFormat({ fill: colour })}
            data-testid={`fill-${colour.slice(1)}`}
          />
        ))}
      </ToolGroup>
      <ToolGroup caption="Абзац">
        {(
          [
            ['left', 'По левому краю', AlignLeft],
            ['center', 'По центру', AlignCenter],
            ['right', 'По правому краю', AlignRight],
          ] as const
        ).map(([align, title, Icon]) => (
          <button
            key={align}
            type="button"
            className={`btn tool btn-icon${shown.align === align ? ' is-active' : ''}`}
            title={title}
            aria-label={title}
            aria-pressed={shown.align === align}
            disabled={disabled}
            onClick={() => onFormat({ align })}
            data-testid={`align-${align}`}
          >
            <Icon strokeWidth={1.75} />
          </button>
        ))}
      </ToolGroup>
    </>
  );
}
