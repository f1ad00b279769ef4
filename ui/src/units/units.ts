// Units of measure: the short and full lists, typed variants mapped to one written form,
// and the units a unit field offers for what is typed.

export const SHORT_UNITS = [
  'шт', 'компл', 'м', 'п.м.', 'м²', 'м³', 'кг', 'т', 'л', 'упак', 'меш', 'лист', 'смена', 'час', 'маш-час',
] as const;

export const FULL_UNITS: readonly string[] = [
  ...SHORT_UNITS,
  'набор', 'пара', 'пач', 'ящ', 'короб', 'рул', 'бухта', 'моток', 'плита', 'блок', 'кирп', 'баллон', 'бочка',
  'канистра', '10 шт', '100 шт', '1000 шт', 'тыс. шт', 'мм', 'см', 'дм', 'км', '10 м', '100 м', '1000 м', 'см²', 'дм²',
  '10 м²', '100 м²', '1000 м²', 'га', 'а', 'сотка', 'км²', 'мл', 'дм³', '10 м³', '100 м³', '1000 м³', 'г', 'ц',
  '100 кг', '1000 кг', 'мин', 'чел.-час', 'чел.-дн', 'маш.-смена', '10 компл', '100 компл', 'сут', 'день', 'нед', 'мес',
  'год', 'рейс', 'Вт', 'кВт', 'кВт·ч', 'МВт·ч', 'Гкал', 'л.с.', 'ткм', 'м³·км', 'ось', 'проём', 'узел', 'секция', 'этаж',
  'щит', 'рама', 'точка', 'звено', 'панель', 'кассета', 'поддон', 'контейнер', 'вагон', 'отвод', 'тройник', 'муфта',
  'кран',
];

const SYNONYM_GROUPS: ReadonlyArray<[string, readonly string[]]> = [
  ['м²', ['м2', 'кв.м', 'кв.м.', 'кв м']],
  ['м³', ['м3', 'куб.м', 'куб.м.', 'куб']],
  ['п.м.', ['пм', 'п.м', 'пог.м', 'пог.м.', 'м.п.', 'м.п']],
  ['шт', ['шт.', 'штук']],
  ['кг', ['кг.']],
  ['т', ['тн', 'тонна']],
  ['л', ['л.', 'литр']],
  ['упак', ['упак.']],
  ['компл', ['комплект']],
  ['маш-час', ['м.ч', 'маш.час', 'маш час', 'маш.-час', 'маш.-ч']],
  ['чел.-час', ['чел-час', 'чел.час', 'чел.-ч']],
  ['чел.-дн', ['чел-дн', 'чел.дн', 'чел.-день']],
  ['маш.-смена', ['маш-смена', 'маш.смена', 'маш.-см']],
  ['кВт·ч', ['квт*ч', 'квт.ч', 'квтч']],
  ['меш', ['мешок']],
];

export const UNIT_SYNONYMS: ReadonlyMap<string, string> = new Map(
  SYNONYM_GROUPS.flatMap(([unit, keys]) => keys.map((k) => [k, unit] as [string, string])),
);

const FULL_BY_LOWER: ReadonlyMap<string, string> = new Map(FULL_UNITS.map((u) => [u.toLowerCase(), u]));

export function normalizeUnit(text: string): string {
  const trimmed = text.trim();
  if (trimmed === '') return '';
  const lower = trimmed.toLowerCase();
  return UNIT_SYNONYMS.get(lower) ?? FULL_BY_LOWER.get(lower) ?? trimmed;
}

export function offeredUnits(text: string, full: boolean): readonly string[] {
  const list: readonly string[] = full ? FULL_UNITS : SHORT_UNITS;
  const trimmed = text.trim();
  if (trimmed === '' || list.includes(normalizeUnit(trimmed))) return list;
  const needle = trimmed.toLowerCase();
  const hits = list.filter((u) => u.toLowerCase().includes(needle));
  return hits.length > 0 ? hits : list;
}

/**
 * The unit that Enter in a unit field commits: the highlighted entry of the list only when the
 * user moved the highlight to it (-1: none), else what was typed, written in its normal form.
 */
export function unitOnEnter(typed: string, offered: readonly string[], highlight: number): string {
  return normalizeUnit(offered[highlight] ?? typed);
}
