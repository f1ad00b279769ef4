// Guess of a line's category from words in its name.

import type { Category } from '../model/types';

export const MACHINERY_WORDS = [
  'экскаватор', 'кран', 'компрессор', 'маш-час', 'минипогрузчик', 'бетононасос', 'вышка', 'аренда техники',
] as const;

export const WORK_WORDS = [
  'установка', 'монтаж', 'прокладка', 'вывод', 'сверление', 'вырезка', 'расключение', 'прозвонка', 'подключение',
  'демонтаж', 'штробление', 'заземление', 'сборка', 'разводка', 'устройство', 'навеска', 'обвязка', 'перенос',
  'замена', 'ревизия', 'испытание', 'наладка', 'разметка', 'обшивка', 'покраска', 'зачистка', 'штукатурка', 'стяжка',
  'кладка', 'заливка', 'пайка',
] as const;

export function guessCategory(name: string): Category {
  const text = name.trim().toLowerCase();
  if (text === '') return 'work';
  if (MACHINERY_WORDS.some((w) => text.includes(w))) return 'equipment';
  if (WORK_WORDS.some((w) => text.includes(w))) return 'work';
  return 'material';
}

export const CATEGORY_ORDER: readonly Category[] = ['work', 'material', 'equipment'];
export const CATEGORY_LABELS: Record<Category, string> = { work: 'Работа', material: 'Материал', equipment: 'Техника' };
export const CATEGORY_PLURALS: Record<Category, string> = { work: 'Работы', material: 'Материалы', equipment: 'Техника' };

/** The category a line counts as: missing or unknown is work. */
export function effectiveCategory(category: string | null | undefined): Category {
  return category === 'material' || category === 'equipment' ? category : 'work';
}

/** The next category in the badge's cycle. */
export function nextCategory(category: string | null | undefined): Category {
  const i = CATEGORY_ORDER.indexOf(effectiveCategory(category));
  return CATEGORY_ORDER[(i + 1) % CATEGORY_ORDER.length];
}
