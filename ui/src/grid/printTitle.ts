// The document title while printing: the printed file is named after it, so it must not
// hold characters that file systems refuse.

const FALLBACK = 'Смета';

export function safePrintTitle(objectName: string): string {
  const name = objectName.trim();
  if (name === '') return FALLBACK;
  const safe = name.replace(/[/\\?%*:|"<>]/g, '-').trim();
  return safe === '' ? FALLBACK : safe;
}
