// The own formatting of a line (format_json): read leniently, written minimally.

import type { EstimateLine } from '../model/types';

export type Align = 'left' | 'center' | 'right';

export interface LineFormat {
  font?: string;
  size?: number;
  bold?: boolean;
  italic?: boolean;
  fill?: string | null;
  align?: Align;
}

export const FILL_CHOICES = ['#F4F4F5', '#FEF3C7', '#DBEAFE'] as const;

/** Takes each key only when its value has the right type; anything that is not an object reads as empty. */
export function readLineFormat(text: string | null | undefined): LineFormat {
  if (!text) return {};
  let v: unknown;
  try {
    v = JSON.parse(text);
  } catch {
    return {};
  }
  if (typeof v !== 'object' || v === null || Array.isArray(v)) return {};
  const o = v as Record<string, unknown>;
  const f: LineFormat = {};
  if (typeof o.font === 'string') f.font = o.font;
  if (typeof o.size === 'number' && Number.isFinite(o.size)) f.size = o.size;
  if (typeof o.bold === 'boolean') f.bold = o.bold;
  if (typeof o.italic === 'boolean') f.italic = o.italic;
  if (typeof o.fill === 'string' || o.fill === null) f.fill = o.fill;
  if (o.align === 'left' || o.align === 'center' || o.align === 'right') f.align = o.align;
  return f;
}

/** Keeps only what differs from the default; nothing left is null. */
export function writeLineFormat(f: LineFormat): string | null {
  const out: Record<string, unknown> = {};
  if (f.font) out.font = f.font;
  if (typeof f.size === 'number' && Number.isFinite(f.size)) out.size = f.size;
  if (f.bold === true) out.bold = true;
  if (f.italic === true) out.italic = true;
  if (f.fill) out.fill = f.fill;
  if (f.align && f.align !== 'left') out.align = f.align;
  return Object.keys(out).length === 0 ? null : JSON.stringify(out);
}

/** Puts a format into a line, keeping the bold flag equal to the written format's bold. */
export function withLineFormat(line: EstimateLine, f: LineFormat): EstimateLine {
  return { ...line, format_json: writeLineFormat(f), name_bold: f.bold === true };
}
