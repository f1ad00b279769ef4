// Where the suggestion list hangs: just under the name field, about as wide as the field,
// and always inside the window.

export const LIST_GAP_PX = 2;
export const LIST_MIN_WIDTH_PX = 420;
export const LIST_MAX_WIDTH_PX = 560;
export const WINDOW_MARGIN_PX = 12;

export interface ListPlacement {
  left: number;
  top: number;
  width: number;
}

export function placeSuggestionList(field: Pick<DOMRect, 'left' | 'bottom' | 'width'>, windowWidth: number): ListPlacement {
  const width = Math.min(Math.max(field.width, LIST_MIN_WIDTH_PX), LIST_MAX_WIDTH_PX, windowWidth - 2 * WINDOW_MARGIN_PX);
  const rightmost = windowWidth - WINDOW_MARGIN_PX - width;
  const left = Math.max(WINDOW_MARGIN_PX, Math.min(field.left, rightmost));
  return { left, top: field.bottom + LIST_GAP_PX, width };
}
