// The calculators at the right of the grid: a room, a strip foundation and the electrics.
// Every change writes the whole parameters and recalculates the formula lines in one step.

import { ChevronDown, ChevronRight, Plus, X } from 'lucide-react';
import { useId, useState, type ReactNode } from 'react';
import { readCalcParams, writeCalcParams, type CalcParams, type Opening } from '../../../estimateStore';
import { NumberField } from '../totals/NumberField';
import { EMPTY_ELECTRIC, EMPTY_ROOM, EMPTY_STRIP, NEW_OPENING, electricSummary, roomSummary, stripSummary, type Room } from './calcSummary';
import './calculators.css';

export interface CalculatorsPanelProps {
  calcParamsJson: string | null;
  /** Stores the new parameters; the store recalculates the formula lines in the same change. */
  onChange: (calcParamsJson: string) => void;
}

function Section({ title, open, onToggle, children, testId }: { title: string; open: boolean; onToggle: () => void; children: ReactNode; testId: string }) {
  const bodyId = useId();
  return (
    <section className="calc-section" data-testid={testId}>
      <button type="button" className="calc-section-head" aria-expanded={open} aria-controls={bodyId} onClick={onToggle}>
        {open ? <ChevronDown strokeWidth={2} /> : <ChevronRight strokeWidth={2} />}
        {title}
      </button>
      {open && (
        <div id={bodyId} className="calc-section-body">
          {children}
        </div>
      )}
    </section>
  );
}

function Field({ label, value, onValue, testId }: { label: string; value: number; onValue: (v: number) => void; testId: string }) {
  const id = useId();
  return (
    <div className="calc-field">
      <label htmlFor={id}>{label}</label>
      <NumberField id={id} value={value} onValue={onValue} data-testid={testId} />
    </div>
  );
}

function Openings({ title, kind, list, onChange }: { title: string; kind: 'doors' | 'windows'; list: Opening[]; onChange: (list: Opening[]) => void }) {
  const set = (i: number, patch: Partial<Opening>) => onChange(list.map((o, j) => (j === i ? { ...o, ...patch } : o)));
  const noun = kind === 'doors' ? 'двери' : 'окна';
  return (
    <div className="calc-openings" data-testid={`calc-${kind}`}>
      <div className="calc-openings-head">
        <span>{title}</span>
        <button type="button" className="btn btn-icon" title={`Добавить ${kind === 'doors' ? 'дверь' : 'окно'}`} aria-label={`Добавить ${kind === 'doors' ? 'дверь' : 'окно'}`} data-testid={`calc-add-${kind}`} onClick={() => onChange([...list, { ...NEW_OPENING }])}>
          <Plus strokeWidth={2} />
        </button>
      </div>
      {list.map((o, i) => (
        <div key={i} className="calc-opening" data-testid="calc-opening">
          <NumberField value={o.w} aria-label={`Ширина ${noun} ${i + 1}`} title="Ширина" onValue={(w) => set(i, { w })} />
          <span aria-hidden="true">×</span>
          <NumberField value={o.h} aria-label={`Высота ${noun} ${i + 1}`} title="Высота" onValue={(h) => set(i, { h })} />
          <span aria-hidden="true">×</span>
          <NumberField value={o.count} aria-label={`Количество ${noun} ${i + 1}`} title="Количество" onValue={(count) => set(i, { count })} />
          <button type="button" className="btn btn-ghost btn-icon btn-danger" title="Удалить" aria-label={`Удалить ${noun} ${i + 1}`} onClick={() => onChange(list.filter((_, j) => j !== i))}>
            <X strokeWidth={2} />
          </button>
        </div>
      ))}
    </div>
  );
}

export function CalculatorsPanel({ calcParamsJson, onChange }: CalculatorsPanelProps) {
  const [open, setOpen] = useState({ room: true, strip: false, electric: false });
  const params = readCalcParams(calcParamsJson);
  const room = params.room ?? EMPTY_ROOM;
  const strip = params.strip ?? EMPTY_STRIP;
  const electric = params.electric ?? EMPTY_ELECTRIC;
  const write = (next: CalcParams) => onChange(writeCalcParams(next));
  const setRoom = (patch: Partial<Room>) => write({ ...params, room: { ...room, ...patch } });
  const setStrip = (patch: Partial<typeof strip>) => write({ ...params, strip: { ...strip, ...patch } });
  const setElectric = (patch: Partial<typeof electric>) => write({ ...params, electric: { ...electric, ...patch } });
  const toggle = (key: keyof typeof open) => setOpen((o) => ({ ...o, [key]: !o[key] }));

  return (
    <aside className="calc-panel" data-testid="calculators-panel" aria-label="Калькуляторы">
      <h2>Калькуляторы</h2>
      <Section title="Помещение" open={open.room} onToggle={() => toggle('room')} testId="calc-room">
        <Field label="Длина L" value={room.L} onValue={(L) => setRoom({ L })} testId="calc-L" />
        <Field label="Ширина W" value={room.W} onValue={(W) => setRoom({ W })} testId="calc-W" />
        <Field label="Высота H" value={room.H} onValue={(H) => setRoom({ H })} testId="calc-H" />
        <Openings title="Двери (ш × в × шт)" kind="doors" list={room.doors} onChange={(doors) => setRoom({ doors })} />
        <Openings title="Окна (ш × в × шт)" kind="windows" list={room.windows} onChange={(windows) => setRoom({ windows })} />
        <p className="calc-result" data-testid="calc-room-result">
          {roomSummary(params)}
        </p>
      </Section>
      <Section title="Фундамент" open={open.strip} onToggle={() => toggle('strip')} testId="calc-strip">
        <Field label="Длина" value={strip.length} onValue={(length) => setStrip({ length })} testId="calc-strip-length" />
        <Field label="Ширина" value={strip.width} onValue={(width) => setStrip({ width })} testId="calc-strip-width" />
        <Field label="Высота" value={strip.height} onValue={(height) => setStrip({ height })} testId="calc-strip-height" />
        <p className="calc-result" data-testid="calc-strip-result">
          {stripSummary(params)}
        </p>
      </Section>
      <Section title="Электрика" open={open.electric} onToggle={() => toggle('electric')} testId="calc-electric">
        <Field label="Розетки" value={electric.sockets} onValue={(sockets) => setElectric({ sockets })} testId="calc-sockets" />
        <Field label="Светильники" value={electric.lamps} onValue={(lamps) => setElectric({ lamps })} testId="calc-lamps" />
        <Field label="Кабель" value={electric.cable} onValue={(cable) => setElectric({ cable })} testId="calc-cable" />
        <p className="calc-result" data-testid="calc-electric-result">
          {electricSummary(params)}
        </p>
      </Section>
    </aside>
  );
}
