// The formula bar under the grid: the quantity formula of the current line, the formula as
// blocks, buttons that append operators and the wall area, and a list of the other lines to refer to.

import { useId } from 'react';
import type { EstimateLine } from '../../../model/types';
import { appendLineQuantity, appendOperator, appendWalls, FORMULA_OPERATORS, lineButtons } from './formulaButtons';
import { formulaBlocks } from './formulaBlocks';
import './calculators.css';

export const FORMULA_PLACEHOLDER = 'стены * 1.05';
export const NO_BLOCKS_TEXT = 'Блоки появятся после ввода формулы';

export interface FormulaBarProps {
  lines: readonly EstimateLine[];
  currentIndex: number;
  /** Stores the formula of the current line; the store recalculates quantities in the same change. */
  onFormula: (index: number, formula: string) => void;
}

export function FormulaBar({ lines, currentIndex, onFormula }: FormulaBarProps) {
  const id = useId();
  const line = lines[currentIndex] as EstimateLine | undefined;
  const formula = line?.formula ?? '';
  const blocks = formulaBlocks(formula, lines);
  const refs = lineButtons(lines, currentIndex);
  const set = (text: string) => {
    if (line) onFormula(currentIndex, text);
  };

  return (
    <div className="formula-bar" data-testid="formula-bar">
      <div className="formula-input-row">
        <label htmlFor={id} className="formula-caption">
          Формула
        </label>
        <input
          id={id}
          className="input formula-input"
          placeholder={FORMULA_PLACEHOLDER}
          spellCheck={false}
          autoComplete="off"
          disabled={!line}
          value={formula}
          data-testid="formula-field"
          onChange={(e) => set(e.target.value)}
        />
      </div>
      <div className="formula-blocks" data-testid="formula-blocks">
        {formula.trim() === '' ? (
          <span className="formula-empty">{NO_BLOCKS_TEXT}</span>
        ) : (
          blocks.map((b, i) => (
            <span key={i} className={`formula-block is-${b.kind}`} data-testid="formula-block">
              {b.text}
            </span>
          ))
        )}
      </div>
      <div className="formula-buttons">
        {FORMULA_OPERATORS.map((op) => (
          <button key={op} type="button" className="btn formula-op" disabled={!line} onClick={() => set(appendOperator(formula, op))}>
            {op}
          </button>
        ))}
        <button type="button" className="btn" disabled={!line} data-testid="formula-walls" onClick={() => set(appendWalls(formula))}>
          стены
        </button>
        {/* One compact list of the other lines: an estimate of forty lines would otherwise need forty buttons. */}
        <label htmlFor={`${id}-ref`} className="formula-caption">
          Ссылка на строку
        </label>
        <select
          id={`${id}-ref`}
          className="input formula-ref"
          value=""
          disabled={!line || refs.length === 0}
          data-testid="formula-line"
          onChange={(e) => {
            if (e.target.value !== '') set(appendLineQuantity(formula, Number(e.target.value)));
          }}
        >
          <option value="">Строка…</option>
          {refs.map((b) => (
            <option key={b.id} value={b.id} title={b.title}>
              {b.label} — {b.title}
            </option>
          ))}
        </select>
      </div>
    </div>
  );
}
