// The table zoom: how a stored value reads, and the range the slider offers.

export const ZOOM_MIN = 50;
export const ZOOM_MAX = 200;
export const ZOOM_STEP = 10;
export const ZOOM_DEFAULT = 100;

/** Read as a number, rounded to a multiple of 10 and clamped; nothing or not a number is 100. */
export function readZoom(stored: string | null): number {
  if (stored === null || stored.trim() === '') return ZOOM_DEFAULT;
  const value = Number(stored);
  if (!Number.isFinite(value)) return ZOOM_DEFAULT;
  const rounded = Math.round(value / ZOOM_STEP) * ZOOM_STEP;
  return Math.min(ZOOM_MAX, Math.max(ZOOM_MIN, rounded));
}
