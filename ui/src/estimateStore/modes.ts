// Estimate modes and the mask of editor features that each one switches on.

export interface ModeMask {
  skuCost: boolean;
  calculators: boolean;
  proposal: boolean;
  governmentEngine: boolean;
}

export type Mode = 'simple' | 'private' | 'government' | 'custom';

export const MODE_LABELS: Record<Mode, string> = {
  simple: 'Простой',
  private: 'Частный',
  government: 'Государственный',
  custom: 'Свой',
};

export const GOVERNMENT_NOTE = 'Модуль РИМ и XML ГГЭ готовится. Суммы не считаются по методике Минстроя.';

export const MODE_PRESETS: Record<Exclude<Mode, 'custom'>, ModeMask> = {
  simple: { skuCost: false, calculators: false, proposal: false, governmentEngine: false },
  private: { skuCost: true, calculators: true, proposal: true, governmentEngine: false },
  government: { skuCost: true, calculators: true, proposal: true, governmentEngine: true },
};

const KEYS = ['skuCost', 'calculators', 'proposal', 'governmentEngine'] as const;

export function readMask(text: string | null | undefined): ModeMask | null {
  if (!text) return null;
  try {
    const v: unknown = JSON.parse(text);
    if (typeof v !== 'object' || v === null || Array.isArray(v)) return null;
    const o = v as Record<string, unknown>;
    if (!KEYS.every((k) => typeof o[k] === 'boolean')) return null;
    return { skuCost: o.skuCost as boolean, calculators: o.calculators as boolean, proposal: o.proposal as boolean, governmentEngine: o.governmentEngine as boolean };
  } catch {
    return null;
  }
}

function sameMask(a: ModeMask, b: ModeMask): boolean {
  return KEYS.every((k) => a[k] === b[k]);
}

/** The mask in force: a stored preset mask wins over the mode stored beside it. */
export function maskInForce(mode: string, maskText: string | null | undefined): ModeMask {
  const mask = readMask(maskText);
  if (mask && (mode === 'custom' || Object.values(MODE_PRESETS).some((p) => sameMask(p, mask)))) return mask;
  const preset = MODE_PRESETS[mode as keyof typeof MODE_PRESETS];
  return preset ?? MODE_PRESETS.simple;
}

export function maskJson(mode: Exclude<Mode, 'custom'>): string {
  const m = MODE_PRESETS[mode];
  return JSON.stringify({ skuCost: m.skuCost, calculators: m.calculators, proposal: m.proposal, governmentEngine: m.governmentEngine });
}
