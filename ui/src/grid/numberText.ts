// The typing rules of the grid's number cells: what text a cell accepts, the number it
// reads as, and how a value shows when the cell is not being edited.

import { plainNumber } from '../numbers/numberText';

/** A comma is read as the decimal point. */
export function typedNumberText(raw: string): string {
  return raw.replace(/,/g, '.');
}

/** Empty, or an optional minus, digits and at most one point. */
export function isNumberText(text: string): boolean {
  return /^-?\d*\.?\d*$/.test(text);
}

/** The number the text reads as; undefined while it is empty or holds no digit. */
export function numberOfText(text: string): number | undefined {
  if (!/\d/.test(text)) return undefined;
  const value = Number(text);
  return Number.isFinite(value) ? value : undefined;
}

/** Plain form with a point (2.5, and 49.5 for 49.50000000000001), or nothing when the value is absent. */
export function numberDisplay(value: number | null | undefined): string {
  return plainNumber(value);
}
