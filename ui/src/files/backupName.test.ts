import { describe, expect, it } from 'vitest';
import { backupFileName } from './backupName';

describe('backup file name', () => {
  it.each([
    // 00:30 in Moscow (UTC+3) is still the previous day in UTC.
    ['2026-03-01T00:30:00+03:00', 'calcora-backup-2026-02-28.db'],
    ['2026-01-01T02:59:59+03:00', 'calcora-backup-2025-12-31.db'],
    ['2026-01-01T03:00:00+03:00', 'calcora-backup-2026-01-01.db'],
    ['2026-06-15T23:30:00-05:00', 'calcora-backup-2026-06-16.db'],
  ])('%s → %s', (moment, expected) => {
    expect(backupFileName(new Date(moment))).toBe(expected);
  });
});
