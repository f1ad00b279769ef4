// Numbers as the page writes them as text (cells, calculator and formula lines, the proposal,
// copied rows): the value as spreadsheets show it, rounded to 15 significant digits, in the
// shortest decimal text that reads back as that, with a point and never an exponent. The
// rounding drops the binary noise of arithmetic (0.1 + 0.2 is 0.3, 45 × 1.1 is 49.5) and
// nothing a user typed: nobody enters more than 15 significant digits.

/** The largest magnitude a number cell or an import takes: a trillion roubles, metres or pieces. */
export const NUMBER_LIMIT = 1e12;

/** Decimal places a formula's quantity keeps: more than anyone enters, fewer than the noise. */
export const QUANTITY_DECIMALS = 9;

/** The value rounded to 15 significant digits; zero, infinities and NaN as they are. */
export function spreadsheetValue(value: number): number {
  if (!Number.isFinite(value) || value === 0) return value;
  return Number(value.toPrecision(15));
}

/** Digits laid out without an exponent: "1e-7" gives "0.0000001", "1.5e+21" gives "1500000000000000000000". */
function withoutExponent(text: string): string {
  const match = /^(-?)(\d)(?:\.(\d+))?e([+-]\d+)$/.exec(text);
  if (!match) return text;
  const [, sign, lead, rest = '', exp] = match;
  const digits = lead + rest;
  const point = 1 + Number(exp);
  if (point <= 0) return `${sign}0.${'0'.repeat(-point)}${digits}`;
  if (point >= digits.length) return sign + digits + '0'.repeat(point - digits.length);
  return `${sign}${digits.slice(0, point)}.${digits.slice(point)}`;
}

/** 1500, 1234.5, 0.3 for 0.1 + 0.2, 49.5 for 45 × 1.1; empty for an absent or non-finite value. */
export function plainNumber(value: number | null | undefined): string {
  if (value == null || !Number.isFinite(value)) return '';
  const rounded = spreadsheetValue(value);
  return rounded === 0 ? '0' : withoutExponent(String(rounded));
}

/** A quantity computed by a formula, as stored: rounded to 9 decimal places. */
export function roundQuantity(value: number): number {
  if (!Number.isFinite(value)) return value;
  // toFixed rounds the exact binary value in decimal; "|| 0" turns -0 into 0.
  return Number(value.toFixed(QUANTITY_DECIMALS)) || 0;
}

/** Whether a number cell or an import may take the value. */
export function withinNumberLimit(value: number): boolean {
  return Number.isFinite(value) && Math.abs(value) <= NUMBER_LIMIT;
}
