// Money as the page shows it: Russian form, decimal comma, plain spaces between thousands.

import { plainNumber, spreadsheetValue } from '../numbers/numberText';

/** Rounds half away from zero to the given number of decimals, working on the decimal text. */
function roundHalfAway(value: number, decimals: number): number {
  const sign = value < 0 ? -1 : 1;
  const abs = Math.abs(value);
  // Shifting through the exponent text avoids 1.005 * 100 = 100.49999… .
  const shifted = Math.round(Number(`${abs}e${decimals}`));
  const result = Number(`${shifted}e-${decimals}`);
  return Number.isFinite(result) ? sign * result : sign * abs;
}

function group(intPart: string): string {
  return intPart.replace(/\B(?=(\d{3})+(?!\d))/g, ' ');
}

function format(value: number, minDecimals: number, maxDecimals: number): string {
  if (!Number.isFinite(value)) return '0';
  // First as spreadsheets hold it (1.1 * 1.15 is 1.265, not 1.2649999999999999), then to cents.
  const rounded = roundHalfAway(spreadsheetValue(value), maxDecimals);
  // toFixed turns to an exponent from 1e21 on; such a figure has no cents to show anyway.
  const abs = Math.abs(rounded);
  const fixed = abs < 1e21 ? abs.toFixed(maxDecimals) : plainNumber(abs);
  const [intPart, fraction = ''] = fixed.split('.');
  let frac = fraction;
  while (frac.length > minDecimals && frac.endsWith('0')) frac = frac.slice(0, -1);
  const negative = rounded < 0 && (Number(intPart) !== 0 || /[1-9]/.test(frac));
  return (negative ? '-' : '') + group(intPart) + (frac ? ',' + frac : '');
}

/** A figure with 0 to 2 decimals: 1 234 567,5 and 0,1. */
export function formatMoney(value: number | null | undefined): string {
  return format(value ?? 0, 0, 2);
}

/** A line sum in the grid: always two decimals, 1 500,00. */
export function formatLineSum(value: number | null | undefined): string {
  return format(value ?? 0, 2, 2);
}
