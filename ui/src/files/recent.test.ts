// @vitest-environment jsdom
import { beforeEach, describe, expect, it } from 'vitest';
import { parseRecent, readRecent, recentTarget, rememberRecent, withRecent, type RecentFile } from './recent';

const entry = (n: number, path = `/f/${n}.clcx`): RecentFile => ({ path, name: `Смета ${n}`, estimateId: n, openedAt: `2026-01-0${n}T00:00:00.000Z` });

describe('recent list rules', () => {
  it('puts a new entry first and pushes the ninth out', () => {
    let list: RecentFile[] = [];
    for (let n = 1; n <= 9; n++) list = withRecent(list, entry(n));
    expect(list.map((e) => e.estimateId)).toEqual([9, 8, 7, 6, 5, 4, 3, 2]);
  });

  it('moves a path already listed to the top with its new name, without a duplicate', () => {
    const list = [entry(3), entry(2), entry(1)];
    const again = { ...entry(1), name: 'Новое имя', estimateId: 7, openedAt: '2026-02-01T00:00:00.000Z' };
    expect(withRecent(list, again)).toEqual([again, entry(3), entry(2)]);
  });

  it.each([
    [null, 0],
    ['', 0],
    ['{"path":"/a.clcx"}', 0],
    ['not json', 0],
    ['[1, "x", null]', 0],
    [JSON.stringify([entry(1), { path: 5 }, entry(2)]), 2],
    [JSON.stringify([{ path: '/a.clcx', name: 'A', openedAt: 't' }]), 1],
    [JSON.stringify(Array.from({ length: 12 }, (_, i) => entry(i + 1))), 8],
  ])('reads %s as %d entries', (text, count) => {
    expect(parseRecent(text)).toHaveLength(count);
  });

  it('leads to the estimate, or to the list without one', () => {
    expect(recentTarget(entry(4))).toBe('/editor/4');
    expect(recentTarget({ path: '/a.clcx', name: 'A', openedAt: 't' })).toBe('/');
  });
});

describe('stored recent list', () => {
  beforeEach(() => localStorage.clear());

  it('survives in local storage and replaces an unreadable list', () => {
    localStorage.setItem('calcora.recent', '{broken');
    expect(readRecent()).toEqual([]);
    rememberRecent('/x/Дом.clcx', 'Дом', 12, new Date('2026-03-01T10:00:00Z'));
    expect(JSON.parse(localStorage.getItem('calcora.recent')!)).toEqual([
      { path: '/x/Дом.clcx', name: 'Дом', estimateId: 12, openedAt: '2026-03-01T10:00:00.000Z' },
    ]);
    expect(readRecent()).toHaveLength(1);
  });
});
