// The estimate store and the records it edits.
export { EstimateStore, estimateStore, installCloseSave, withPlaceholder, AUTOSAVE_MS, type StoreSnapshot, type Change } from './store';
export { useEstimateStore } from './useEstimateStore';
export { mergeSaveReply, savePayload } from './merge';
export { UndoHistory, GROUP_MS, MAX_STEPS } from './history';
export { memoryEntry, type MemoryEntry } from './memory';
export { readLineFormat, writeLineFormat, withLineFormat, FILL_CHOICES, type LineFormat, type Align } from './lineFormat';
export { readMask, maskInForce, maskJson, MODE_PRESETS, MODE_LABELS, GOVERNMENT_NOTE, type ModeMask, type Mode } from './modes';
export { readCalcParams, writeCalcParams, calculatorVariables, variablesOf, type CalcParams, type Opening } from './calcParams';
