import { describe, expect, it } from 'vitest';
import { placeMenu } from './menuPlacement';

const box = (left: number, top: number, width = 80, height = 28) => ({ left, right: left + width, top, bottom: top + height });

describe('export menu placement', () => {
  it.each([
    ['below, right-aligned', box(900, 100), 800, { left: 740, top: 134 }],
    ['kept 8 px from the left edge', box(20, 100), 800, { left: 8, top: 134 }],
    ['exactly fits below', box(900, 570), 800, { left: 740, top: 604 }],
    ['one pixel short: above', box(900, 571), 800, { left: 740, bottom: 235 }],
    ['near the bottom, near the left edge', box(0, 760, 60), 800, { left: 8, bottom: 46 }],
  ])('%s', (_, button, height, expected) => {
    expect(placeMenu(button, height)).toEqual(expected);
  });
});
