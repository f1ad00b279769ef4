// The built-in templates every new estimate starts from, and the flow that creates an
// estimate from one. Prices never come from a template.

import { invoke } from '../platform';
import type { Category, EstimateLine, EstimatePayload } from '../model/types';
import { newEmptyLine } from '../model/types';
import { maskJson } from '../estimateStore/modes';
import { readSettings } from '../settings/settings';

export interface TemplateInfo {
  id: string;
  name: string;
  description: string;
}

export const TEMPLATES: readonly TemplateInfo[] = [
  { id: 'default', name: 'Стандартная смета', description: '№, наименование, ед., объём, цена, сумма' },
  { id: 'gost', name: 'Смета с разделами', description: 'Разделы + позиции, подходит для крупных объектов' },
  { id: 'ip', name: 'Быстрая смета для ИП', description: 'Наименование и объём без детализации цен' },
  { id: 'finishing', name: 'Черновая отделка', description: 'Демонтаж, штукатурка, стяжка, черновые инженерия' },
  { id: 'electric', name: 'Электрика', description: 'Штробы, кабель, щит, точки' },
  { id: 'foundation', name: 'Фундамент', description: 'Земля, подушка, опалубка, арматура, бетон' },
  { id: 'plumbing', name: 'Сантехника', description: 'ХВС/ГВС, канализация, точки водоразбора' },
];

/** A row: a section title, an item (name, unit, category), or the empty line itself. */
type Row = { section: string; noCategory?: true } | { item: string; unit: string; category: Category } | 'empty' | 'quick';

const S = (section: string): Row => ({ section });
const I = (item: string, unit: string, category: Category = 'work'): Row => ({ item, unit, category });

const ROWS: Record<string, readonly Row[]> = {
  default: ['empty'],
  gost: [
    { section: '1. Подготовительные работы', noCategory: true },
    I('Разметка осей', 'м²'),
    { section: '2. Основные работы', noCategory: true },
    'empty',
  ],
  ip: ['quick'],
  finishing: [
    S('1. Демонтаж'),
    I('Демонтаж покрытий', 'м²'),
    S('2. Стены и потолки'),
    I('Штукатурка стен', 'м²'),
    I('Смесь штукатурная', 'кг', 'material'),
    S('3. Полы'),
    I('Стяжка пола', 'м²'),
    I('Пескобетон', 'кг', 'material'),
    S('4. Черновая инженерия'),
    I('Штробление под коммуникации', 'п.м.'),
  ],
  electric: [
    S('1. Подготовка'),
    I('Штробление под кабель', 'п.м.'),
    S('2. Кабельные линии'),
    I('Прокладка кабеля', 'м'),
    I('Кабель ВВГнг', 'м', 'material'),
    S('3. Щит и точки'),
    I('Сборка щита', 'шт'),
    I('Автоматический выключатель', 'шт', 'material'),
    I('Установка розеток и выключателей', 'шт'),
  ],
  foundation: [
    S('1. Земляные работы'),
    I('Разработка грунта', 'м³'),
    I('Аренда экскаватора', 'смена', 'equipment'),
    S('2. Основание'),
    I('Песчаная подушка', 'м³'),
    I('Песок', 'м³', 'material'),
    S('3. Тело фундамента'),
    I('Опалубка', 'м²'),
    I('Арматурные работы', 'т'),
    I('Арматура', 'т', 'material'),
    I('Бетонирование', 'м³'),
    I('Бетон', 'м³', 'material'),
  ],
  plumbing: [
    S('1. Водопровод'),
    I('Прокладка труб ХВС/ГВС', 'п.м.'),
    I('Труба полипропилен', 'м', 'material'),
    I('Пайка стыков', 'шт'),
    S('2. Канализация'),
    I('Прокладка канализации', 'п.м.'),
    I('Труба канализационная', 'м', 'material'),
    S('3. Точки'),
    I('Монтаж водорозетки', 'шт'),
    I('Водорозетка', 'шт', 'material'),
  ],
};

/** The rows of a template as lines of the given estimate; an unknown id gives the default template. */
export function templateRows(templateId: string, estimateId: number): EstimateLine[] {
  const rows = ROWS[templateId] ?? ROWS.default;
  return rows.map((row, i): EstimateLine => {
    if (row === 'empty') return newEmptyLine(estimateId, i);
    if (row === 'quick') return { ...newEmptyLine(estimateId, i), line_type: 'quantity_only' };
    if ('section' in row) {
      const line: EstimateLine = { estimate_id: estimateId, sort_order: i, line_type: 'section', name: row.section };
      if (!row.noCategory) line.category = 'work';
      return line;
    }
    return { ...newEmptyLine(estimateId, i), name: row.item, unit: row.unit, category: row.category };
  });
}

export function templateName(id: string): string | undefined {
  return TEMPLATES.find((t) => t.id === id)?.name;
}

/** Creates an estimate with the template's rows and the default mode of the settings. */
export async function createFromTemplate(objectName: string, templateId: string): Promise<EstimatePayload> {
  const created = await invoke<EstimatePayload>('create_estimate', { objectName });
  const mode = readSettings().defaultMode;
  const payload: EstimatePayload = {
    estimate: { ...created.estimate, mode, mode_mask_json: maskJson(mode) },
    lines: templateRows(templateId, created.estimate.id),
    footer: created.footer,
  };
  return invoke<EstimatePayload>('save_estimate', { payload });
}
