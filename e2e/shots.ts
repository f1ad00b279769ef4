// Screenshots of the page for looking at by eye; they land in test-results/shots.
import type { Page } from '@playwright/test';
import path from 'node:path';

export type ThemeName = 'light' | 'dark';
export const THEMES: readonly ThemeName[] = ['light', 'dark'];

/** Stores the theme (and any other preferences) the way the settings screen does, then reloads. */
export async function useTheme(page: Page, theme: ThemeName, extra: object = {}): Promise<void> {
  await page.evaluate((s) => localStorage.setItem('calcora.settings', JSON.stringify(s)), { theme, ...extra });
  await page.reload();
}

export async function shot(page: Page, name: string): Promise<void> {
  // Let transitions and fonts settle before the picture.
  await page.evaluate(() => document.fonts.ready.then(() => new Promise((r) => requestAnimationFrame(() => requestAnimationFrame(r)))));
  await page.screenshot({ path: path.join('test-results', 'shots', `${name}.png`) });
}
