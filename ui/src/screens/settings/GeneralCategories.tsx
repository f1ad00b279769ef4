// The settings categories that edit preferences one field at a time: "Общие", "Режим",
// "Редактор" and "Печать". Every change is written at once.

import { useState } from 'react';
import { MODE_LABELS, MODE_PRESETS, type ModeMask } from '../../estimateStore/modes';
import { FONTS, THEMES, UI_SIZE_LABELS, UI_SIZES, writeSettings, type AppSettings, type PresetMode, type Theme } from '../../settings/settings';
import { TEMPLATES } from '../../templates/templates';
import { APP_VERSION } from '../../version';
import { fontOptions, Note, SelectField } from './fields';

const THEME_LABELS: Record<Theme, string> = { light: 'Светлая', dark: 'Тёмная', system: 'Как в системе' };
const PRESET_MODES: readonly PresetMode[] = ['simple', 'private', 'government'];
const LAYERS: readonly { key: keyof ModeMask; label: string }[] = [
  { key: 'skuCost', label: 'Артикул и себестоимость' },
  { key: 'calculators', label: 'Калькуляторы' },
  { key: 'proposal', label: 'Коммерческое предложение' },
  { key: 'governmentEngine', label: 'РИМ и XML ГГЭ' },
];
const PRINT_NOTE =
  'В PDF Times-подобные шрифты подменяются на свободный FreeSerif (метрики близки к Times New Roman). Остальные — DejaVu Sans. На экране печати используются системные имена.';
const MIN_FONT_SIZE = 10;
const MAX_FONT_SIZE = 24;

type Props = { settings: AppSettings };

export function GeneralCategory({ settings }: Props) {
  return (
    <>
      <SelectField
        label="Размер интерфейса"
        value={settings.uiSize}
        options={UI_SIZES.map((s) => ({ value: s, label: UI_SIZE_LABELS[s] }))}
        onChange={(uiSize) => writeSettings({ uiSize })}
        testId="settings-ui-size"
      />
      <SelectField
        label="Тема"
        value={settings.theme}
        options={THEMES.map((t) => ({ value: t, label: THEME_LABELS[t] }))}
        onChange={(theme) => writeSettings({ theme })}
        testId="settings-theme"
      />
      <p className="settings-version muted" data-testid="settings-version">
        Calcora {APP_VERSION}
      </p>
    </>
  );
}

export function ModeCategory({ settings }: Props) {
  const mask = MODE_PRESETS[settings.defaultMode];
  return (
    <>
      <SelectField
        label="Режим новых смет"
        value={settings.defaultMode}
        options={PRESET_MODES.map((m) => ({ value: m, label: MODE_LABELS[m] }))}
        onChange={(defaultMode) => writeSettings({ defaultMode })}
        testId="settings-mode"
      />
      <fieldset className="settings-layers" data-testid="settings-layers">
        <legend>Слои пресета</legend>
        {LAYERS.map((layer) => (
          <label key={layer.key} className="settings-check">
            {/* Shows the chosen mode's mask; it changes with the mode, never by itself. */}
            <input
              type="checkbox"
              checked={mask[layer.key]}
              aria-readonly="true"
              onChange={() => undefined}
              onClick={(e) => e.preventDefault()}
              data-testid={`settings-layer-${layer.key}`}
            />
            {layer.label}
          </label>
        ))}
      </fieldset>
      <Note>Новые сметы открываются в этом режиме. У открытой сметы режим меняется в шапке.</Note>
    </>
  );
}

/** The font size field: a size inside the range is written as typed; leaving the field writes the clamped value. */
function FontSizeField({ value }: { value: number }) {
  const [text, setText] = useState(String(value));
  const [shown, setShown] = useState(value);
  if (shown !== value) {
    setShown(value);
    setText(String(value));
  }
  const clamp = (n: number) => Math.min(MAX_FONT_SIZE, Math.max(MIN_FONT_SIZE, Math.round(n)));
  return (
    <label className="field settings-field settings-narrow">
      <span>Размер шрифта</span>
      <input
        className="input"
        type="number"
        min={MIN_FONT_SIZE}
        max={MAX_FONT_SIZE}
        step={1}
        value={text}
        onChange={(e) => {
          setText(e.target.value);
          const n = Number(e.target.value);
          if (e.target.value !== '' && n >= MIN_FONT_SIZE && n <= MAX_FONT_SIZE) writeSettings({ defaultFontSize: clamp(n) });
        }}
        onBlur={() => {
          const n = Number(text);
          const next = text.trim() !== '' && Number.isFinite(n) ? clamp(n) : value;
          writeSettings({ defaultFontSize: next });
          setText(String(next));
        }}
        data-testid="settings-font-size"
      />
    </label>
  );
}

export function EditorCategory({ settings }: Props) {
  return (
    <>
      <SelectField
        label="Шрифт по умолчанию"
        value={settings.defaultFont}
        options={fontOptions(FONTS)}
        onChange={(defaultFont) => writeSettings({ defaultFont })}
        testId="settings-font"
      />
      <FontSizeField value={settings.defaultFontSize} />
      <SelectField
        label="Шаблон для новых смет"
        value={settings.defaultTemplate}
        options={TEMPLATES.map((t) => ({ value: t.id, label: t.name }))}
        onChange={(defaultTemplate) => writeSettings({ defaultTemplate })}
        testId="settings-template"
      />
      <Note>Справочник — в боковом меню. Шрифт применяется к новым строкам и к ячейкам без своего оформления.</Note>
    </>
  );
}

export function PrintCategory({ settings }: Props) {
  return (
    <>
      <SelectField
        label="Шрифт печати и PDF"
        value={settings.printFont}
        options={fontOptions(FONTS)}
        onChange={(printFont) => writeSettings({ printFont })}
        testId="settings-print-font"
      />
      <Note>{PRINT_NOTE}</Note>
    </>
  );
}
