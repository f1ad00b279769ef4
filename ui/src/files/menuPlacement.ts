// Where the export menu opens: right edge under the button's right edge, 6 px below it,
// or above it when the menu's height would not fit below; never closer than 8 px to the
// window's left edge.

export const MENU_WIDTH_PX = 240;
export const MENU_HEIGHT_PX = 196;
const GAP_PX = 6;
const EDGE_PX = 8;

export interface ButtonBox {
  left: number;
  right: number;
  top: number;
  bottom: number;
}

/** Fixed-position coordinates: `top` when the menu opens below, `bottom` (from the window's bottom) when above. */
export interface MenuPlacement {
  left: number;
  top?: number;
  bottom?: number;
}

export function placeMenu(button: ButtonBox, viewportHeight: number): MenuPlacement {
  const left = Math.max(EDGE_PX, button.right - MENU_WIDTH_PX);
  if (button.bottom + GAP_PX + MENU_HEIGHT_PX <= viewportHeight) return { left, top: button.bottom + GAP_PX };
  return { left, bottom: viewportHeight - button.top + GAP_PX };
}
