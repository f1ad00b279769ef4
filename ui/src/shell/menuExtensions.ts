// Where the recent exchange files plug into the side menu (shown while the menu is open).
import type { ReactNode } from 'react';

export const menuExtensions: { recent?: () => ReactNode } = {};

export function provideRecentFiles(render: () => ReactNode): void {
  menuExtensions.recent = render;
}
