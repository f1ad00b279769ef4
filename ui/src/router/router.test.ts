// @vitest-environment jsdom
import { describe, expect, it } from 'vitest';
import { formatStamp } from '../screens/list/stamp';
import { matchRoute } from './router';

describe('addresses', () => {
  it.each([
    ['/', { screen: 'list' }],
    ['/editor/12', { screen: 'editor', id: 12 }],
    ['/editor/x', { screen: 'missing' }],
    ['/templates', { screen: 'templates' }],
    ['/help/', { screen: 'help' }],
    ['/settings/columns', { screen: 'settings' }],
    ['/catalog', { screen: 'catalog' }],
    ['/nowhere', { screen: 'missing' }],
  ])('%s', (path, route) => {
    expect(matchRoute(path)).toEqual(route);
  });
});

describe('time of a change', () => {
  it('shows day, month, year, hours and minutes in the Russian form, in local time', () => {
    const stamp = new Date(2026, 11, 9, 14, 5, 33).toISOString().replace(/\.\d+Z$/, 'Z');
    expect(formatStamp(stamp)).toBe('09.12.2026, 14:05');
    expect(formatStamp('not a time')).toBe('not a time');
  });
});
