// Parameters of the calculators (calc_params_json) and the variables they give to the
// quantity formulas of the lines.

export interface Opening {
  w: number;
  h: number;
  count: number;
}

export interface CalcParams {
  room?: { L: number; W: number; H: number; doors: Opening[]; windows: Opening[] };
  strip?: { length: number; width: number; height: number };
  electric?: { sockets: number; lamps: number; cable: number };
}

type Obj = Record<string, unknown>;

function asObject(v: unknown): Obj | null {
  return typeof v === 'object' && v !== null && !Array.isArray(v) ? (v as Obj) : null;
}

function num(o: Obj, key: string): number {
  const v = o[key];
  return typeof v === 'number' && Number.isFinite(v) ? v : 0;
}

function openings(v: unknown): Opening[] {
  if (!Array.isArray(v)) return [];
  return v.map((item) => {
    const o = asObject(item) ?? {};
    return { w: num(o, 'w'), h: num(o, 'h'), count: num(o, 'count') };
  });
}

export function readCalcParams(text: string | null | undefined): CalcParams {
  if (!text) return {};
  let root: Obj | null;
  try {
    root = asObject(JSON.parse(text));
  } catch {
    return {};
  }
  if (!root) return {};
  const out: CalcParams = {};
  const room = asObject(root.room);
  if (room) out.room = { L: num(room, 'L'), W: num(room, 'W'), H: num(room, 'H'), doors: openings(room.doors), windows: openings(room.windows) };
  const strip = asObject(root.strip);
  if (strip) out.strip = { length: num(strip, 'length'), width: num(strip, 'width'), height: num(strip, 'height') };
  const electric = asObject(root.electric);
  if (electric) out.electric = { sockets: num(electric, 'sockets'), lamps: num(electric, 'lamps'), cable: num(electric, 'cable') };
  return out;
}

export function writeCalcParams(p: CalcParams): string {
  return JSON.stringify(p);
}

const openingArea = (list: Opening[]) => list.reduce((acc, o) => acc + o.w * o.h * o.count, 0);

/** Variables for the quantity formulas; a calculator without data gives none. */
export function calculatorVariables(p: CalcParams): Record<string, number> {
  const vars: Record<string, number> = {};
  if (p.room) {
    const { L, W, H } = p.room;
    const perimeter = 2 * (L + W);
    Object.assign(vars, {
      L, W, H,
      периметр: perimeter,
      пол: L * W,
      потолок: L * W,
      стены: perimeter * H - openingArea(p.room.doors) - openingArea(p.room.windows),
    });
  }
  if (p.strip) {
    const { length, width, height } = p.strip;
    vars['бетон'] = length * width * height;
    vars['опалубка'] = 2 * (width + height) * length;
  }
  if (p.electric) {
    vars['точки'] = p.electric.sockets + p.electric.lamps;
    vars['кабель'] = p.electric.cable;
  }
  return vars;
}

export function variablesOf(calcParamsJson: string | null | undefined): Record<string, number> {
  return calculatorVariables(readCalcParams(calcParamsJson));
}
