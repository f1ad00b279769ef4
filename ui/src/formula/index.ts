// Quantity formulas of estimate lines: parse, evaluate, recalculate.
export { parseFormula, referenceName, type FormulaNode, type ParseResult } from './parse';
export { evaluateFormula, referencedLines, referencesOf, type Variables } from './evaluate';
export { changedInputs, cycleSet, formulaGraph, recalculateChanged, recalculateLines, type FormulaGraph } from './recalc';
