// The time of a change as the list shows it: 09.12.2026, 14:05 in the user's time zone.

const FORMAT = new Intl.DateTimeFormat('ru-RU', {
  day: '2-digit',
  month: '2-digit',
  year: 'numeric',
  hour: '2-digit',
  minute: '2-digit',
});

export function formatStamp(stamp: string): string {
  const time = Date.parse(stamp);
  return Number.isNaN(time) ? stamp : FORMAT.format(time);
}
