import { describe, expect, it } from 'vitest';
import { HELP_TOPICS, searchTopics } from './topics';

describe('help search', () => {
  it.each([
    ['', 12],
    ['  НАЦЕНКА ', 2],
    ['Ctrl+S', 2],
    ['абракадабра', 0],
  ])('%j finds %d topics', (query, count) => {
    expect(searchTopics(query)).toHaveLength(count);
  });

  it('finds the totals topic for наценка typed in capitals', () => {
    expect(searchTopics('НАЦЕНКА').map((t) => t.id)).toContain('totals');
    expect(HELP_TOPICS.map((t) => t.id)).toEqual(['intro', 'first', 'lines', 'table', 'totals', 'catalog', 'templates', 'files', 'print', 'settings', 'shortcuts', 'offline']);
  });
});
