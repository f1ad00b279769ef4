// How the markup field shows a stored formula: the English variable names of older formulas
// in their Russian form, so that what the user then edits is written the way users write it.

export const MARKUP_NAMES_RU: Readonly<Record<string, string>> = {
  works: 'работы',
  materials: 'материалы',
  delivery: 'доставка',
  equipment: 'техника',
  advance: 'аванс',
  extras: 'доп',
};

// A whole word only: no letter (of any alphabet), digit or underscore may touch either side,
// so "worksheet" and "сверхworks" stay as they are.
const ENGLISH_NAME = new RegExp(
  `(?<![\\p{L}\\p{N}_])(${Object.keys(MARKUP_NAMES_RU).join('|')})(?![\\p{L}\\p{N}_])`,
  'giu',
);

export function markupForDisplay(formula: string | null | undefined): string {
  if (!formula) return '';
  return formula.replace(ENGLISH_NAME, (word) => MARKUP_NAMES_RU[word.toLowerCase()]);
}
