// The name proposed for a database backup: calcora-backup-YYYY-MM-DD.db with today's UTC date.

export function backupFileName(now: Date = new Date()): string {
  return `calcora-backup-${now.toISOString().slice(0, 10)}.db`;
}
