// Line types: their labels and the order in which the editor's type column offers them.

export const LINE_TYPE_ORDER = ['full', 'section', 'fixed', 'quantity_only'] as const;

export const LINE_TYPE_LABELS: Record<(typeof LINE_TYPE_ORDER)[number], string> = {
  full: 'Полная',
  quantity_only: 'Без цены',
  fixed: 'Фикс. сумма',
  section: 'Раздел',
};

/** A missing or unknown type is shown as a full line. */
export function lineTypeLabel(lineType: string | null | undefined): string {
  return LINE_TYPE_LABELS[lineType as keyof typeof LINE_TYPE_LABELS] ?? LINE_TYPE_LABELS.full;
}
