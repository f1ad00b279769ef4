// The formula bar under the grid: the quantity formula of the current line, the formula as
// blocks, and buttons that append operators, the wall area and references to other lines.

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
        {lineButtons(lines, currentIndex).map((b) => (
          <button key={b.id} type="button" className="btn" title={b.title} data-testid="formula-line" onClick={() => set(appendLineQuantity(formula, b.id))}>
            {b.label}
          </button>
        ))}
      </div>
    </div>
  );
}
