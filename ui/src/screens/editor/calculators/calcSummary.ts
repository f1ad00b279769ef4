// The result lines under the calculators and the changes their fields make to the parameters.

import { calculatorVariables, type CalcParams, type Opening } from '../../../estimateStore';
import { plainNumber } from '../../../numbers/numberText';

export type Room = NonNullable<CalcParams['room']>;
export type Strip = NonNullable<CalcParams['strip']>;
export type Electric = NonNullable<CalcParams['electric']>;

export const EMPTY_ROOM: Room = { L: 0, W: 0, H: 0, doors: [], windows: [] };
export const EMPTY_STRIP: Strip = { length: 0, width: 0, height: 0 };
export const EMPTY_ELECTRIC: Electric = { sockets: 0, lamps: 0, cable: 0 };
export const NEW_OPENING: Opening = { w: 1, h: 1, count: 1 };

/** Plain values, not rounded: what the formulas will count with. */
const plain = (v: number | undefined): string => plainNumber(v ?? 0);

export function roomSummary(params: CalcParams): string {
  const v = calculatorVariables({ room: params.room ?? EMPTY_ROOM });
  return `стены ${plain(v['стены'])}, пол ${plain(v['пол'])}, периметр ${plain(v['периметр'])}`;
}

export function stripSummary(params: CalcParams): string {
  const v = calculatorVariables({ strip: params.strip ?? EMPTY_STRIP });
  return `бетон ${plain(v['бетон'])}, опалубка ${plain(v['опалубка'])}`;
}

export function electricSummary(params: CalcParams): string {
  const v = calculatorVariables({ electric: params.electric ?? EMPTY_ELECTRIC });
  return `точки ${plain(v['точки'])}, кабель ${plain(v['кабель'])}`;
}

/** A field's text as the number stored: anything that is not a finite number counts 0. */
export function readCalcNumber(text: string): number {
  const n = Number(text.trim().replace(',', '.'));
  return text.trim() !== '' && Number.isFinite(n) ? n : 0;
}
