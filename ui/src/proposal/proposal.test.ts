import { describe, expect, it } from 'vitest';
import type { EstimateLine, EstimatePayload } from '../model/types';
import {
  buildSnapshot,
  defaultHtmlName,
  linkErrorText,
  printTitle,
  proposalHtml,
  readProposalSettings,
  stagesShortfall,
  withHtmlExtension,
  writeProposalSettings,
  type ProposalSnapshot,
} from '.';

const NONE = { title: '', stages: [], logo_b64: null, token: null };

describe('kp_json', () => {
  it.each([
    ['absent', null, NONE],
    ['empty text', '', NONE],
    ['not JSON', '{title:', NONE],
    ['an array', '[1]', NONE],
    ['a title that is a number', '{"title":5,"stages":[]}', NONE],
    [
      'a stage with a text amount is dropped, one with a number stays',
      '{"title":5,"stages":[{"title":"Аванс","amount":"100"},{"title":"Остаток","amount":200}]}',
      { ...NONE, stages: [{ title: 'Остаток', amount: 200 }] },
    ],
    [
      'items that are not stage objects are dropped; extra keys stay',
      '{"stages":[null,3,"x",[],{"title":1,"amount":2},{"title":"A","amount":0,"due":"май"}]}',
      { ...NONE, stages: [{ title: 'A', amount: 0, due: 'май' }] },
    ],
    ['stages that are not an array', '{"title":"КП","stages":{"title":"A","amount":1}}', { ...NONE, title: 'КП' }],
    [
      'logo and token only as texts',
      '{"title":"T","logo_b64":42,"token":false}',
      { ...NONE, title: 'T' },
    ],
    [
      'everything set',
      '{"token":"kp1","logo_b64":"data:image/png;base64,AA==","title":"T","stages":[]}',
      { title: 'T', stages: [], logo_b64: 'data:image/png;base64,AA==', token: 'kp1' },
    ],
  ])('reads %s', (_case, text, expected) => {
    expect(readProposalSettings(text)).toEqual(expected);
  });

  it('writes the keys in their order, stage extras after title and amount, and reads back the same', () => {
    const settings = readProposalSettings('{"stages":[{"due":"май","amount":5,"title":"A"}],"token":"t","title":"КП"}');
    const text = writeProposalSettings(settings);
    expect(text).toBe('{"title":"КП","stages":[{"title":"A","amount":5,"due":"май"}],"logo_b64":null,"token":"t"}');
    expect(readProposalSettings(text)).toEqual(settings);
  });
});

function line(fields: Partial<EstimateLine>): EstimateLine {
  return { estimate_id: 1, sort_order: 0, line_type: 'full', name: 'x', category: 'work', ...fields };
}

function payload(lines: EstimateLine[]): EstimatePayload {
  return {
    estimate: {
      id: 1,
      object_name: 'Дом',
      created_at: '',
      updated_at: '',
      mode: 'private',
      mode_mask_json: null,
      calc_params_json: null,
      kp_json: null,
    },
    lines,
    footer: {
      estimate_id: 1,
      materials: 500,
      delivery: 3000,
      advance: 0,
      show_materials: true,
      show_delivery: true,
      show_advance: false,
      markup_formula: 'работы * 0.1',
      extras_json: null,
    },
  };
}

describe('snapshot', () => {
  const data = payload([
    line({ id: 1, name: 'Стены', line_type: 'section', unit: '', quantity: null }),
    line({ id: 2, name: 'Кладка', unit: 'м2', quantity: 2.5, unit_price: 1000 }),
    line({ name: 'Новая, ещё без id', quantity: 1, unit_price: 99 }),
    line({ id: 4, name: '   ', quantity: 1, unit_price: 99 }),
    line({ id: 5, name: 'Доставка', line_type: 'fixed', unit: 'шт', quantity: 1, unit_price: 7, fixed_total: 1500 }),
    line({ id: 6, name: 'Гвозди', line_type: 'quantity_only', unit: 'кг', quantity: 3, unit_price: 40, category: 'material' }),
    line({ id: 7, name: 'Бывшая строка', line_type: 'section', unit: 'шт', quantity: 2, unit_price: 10 }),
  ]);
  const snapshot = buildSnapshot('КП', [{ title: 'Аванс', amount: 100, due: 'май' }], data);

  it('takes saved, named lines in order, sections included, with the cells their type uses', () => {
    expect(snapshot.lines).toEqual([
      { id: 1, name: 'Стены', unit: '', quantity: null, unit_price: null, total: 0 },
      { id: 2, name: 'Кладка', unit: 'м2', quantity: 2.5, unit_price: 1000, total: 2500 },
      { id: 5, name: 'Доставка', unit: null, quantity: null, unit_price: null, total: 1500 },
      { id: 6, name: 'Гвозди', unit: 'кг', quantity: 3, unit_price: null, total: 0 },
      { id: 7, name: 'Бывшая строка', unit: '', quantity: null, unit_price: null, total: 0 },
    ]);
  });

  it('totals the line sums only: markup, delivery and the materials add-on stay out', () => {
    expect(snapshot.total).toBe(4000);
    expect(snapshot.object_name).toBe('Дом');
    expect(snapshot.stages).toEqual([{ title: 'Аванс', amount: 100 }]);
    expect(Object.keys(snapshot)).toEqual(['title', 'object_name', 'lines', 'stages', 'total']);
  });
});

describe('proposal total with the estimate\'s totals', () => {
  const data = payload([
    line({ id: 1, name: 'Плитка', quantity: 10, unit_price: 24202.5 }),
  ]);
  const rows = (delivery: number, markup: number) => [
    { key: 'works', label: 'Работы', value: 242025 },
    { key: 'materials', label: 'Материалы', value: 0 },
    { key: 'equipment', label: 'Техника', value: 0 },
    { key: 'delivery', label: 'Доставка', value: delivery },
    { key: 'markup', label: 'Наценка', value: markup },
    { key: 'grand', label: 'Общий итог', value: 242025 + delivery + markup },
    { key: 'advance', label: 'Аванс', value: 1000 },
  ];

  it('ends with the grand total and shows the rows that carry an amount; stages that miss it are told', () => {
    const snapshot = buildSnapshot('КП', [{ title: 'Аванс', amount: 135000 }, { title: 'Остаток', amount: 135000 }], data, {
      rows: rows(3500, 26410.67),
      grand: 271935.67,
    });
    expect(snapshot.total).toBe(271935.67);
    expect(snapshot.summary).toEqual([
      { label: 'Работы', amount: 242025 },
      { label: 'Доставка', amount: 3500 },
      { label: 'Наценка', amount: 26410.67 },
    ]);
    const html = proposalHtml(snapshot, null);
    expect(html).toContain('</table>\n<p>Работы: 242 025 ₽</p><p>Доставка: 3 500 ₽</p><p>Наценка: 26 410,67 ₽</p>\n<p>Аванс: 135 000 ₽</p>');
    expect(html.endsWith('<p>Итого: 271 935,67 ₽</p></body></html>')).toBe(true);
    expect(stagesShortfall(snapshot)).toBe(270000);
    expect(stagesShortfall({ ...snapshot, stages: [{ title: 'Всё', amount: 271935.67 }] })).toBeNull();
    expect(stagesShortfall({ ...snapshot, stages: [] })).toBeNull();
  });

  it('is the plain document when the totals add nothing to the lines', () => {
    const plain = buildSnapshot('КП', [], data);
    const withTotals = buildSnapshot('КП', [], data, { rows: rows(0, 0), grand: 242025.001 });
    expect(withTotals).toEqual(plain);
    expect(Object.keys(withTotals)).toEqual(['title', 'object_name', 'lines', 'stages', 'total']);
    expect(proposalHtml(withTotals, null)).toBe(proposalHtml(plain, null));
  });
});

describe('HTML document', () => {
  const small: ProposalSnapshot = {
    title: 'Ремонт',
    object_name: 'Квартира',
    lines: [
      { id: 1, name: 'Стены', unit: '', quantity: null, unit_price: null, total: 0 },
      { id: 2, name: 'Кладка', unit: 'м2', quantity: 2.5, unit_price: 1234.5, total: 3086.25 },
    ],
    stages: [
      { title: 'Аванс', amount: 1000 },
      { title: 'Остаток', amount: 2086.25 },
    ],
    total: 3086.25,
  };

  it('is the exact text of a small proposal with a logo', () => {
    const expected =
      '<!doctype html><html lang="ru"><head><meta charset="utf-8"><title>Ремонт</title>\n' +
      '<style>body{font:15px/1.4 system-ui,sans-serif;color:#171717;padding:24px}table{border-collapse:collapse;width:100%}td,th{border-bottom:1px solid #e5e5e5;text-align:left;padding:6px 8px}</style>\n' +
      '</head><body>\n' +
      '<img alt="" src="data:image/png;base64,iVBO" style="max-height:64px">\n' +
      '<h1>Ремонт</h1>\n' +
      '<p>Квартира</p>\n' +
      '<table><thead><tr><th>Наименование</th><th>Ед.</th><th>Кол-во</th><th>Цена</th><th>Сумма</th></tr></thead>' +
      '<tbody><tr><td>Стены</td><td></td><td></td><td></td><td>0</td></tr>' +
      '<tr><td>Кладка</td><td>м2</td><td>2.5</td><td>1 234,5</td><td>3 086,25</td></tr></tbody></table>\n' +
      '<p>Аванс: 1 000 ₽</p><p>Остаток: 2 086,25 ₽</p>\n' +
      '<p>Итого: 3 086,25 ₽</p></body></html>';
    expect(proposalHtml(small, 'data:image/png;base64,iVBO')).toBe(expected);
  });

  it('without title, stages and an image logo keeps the line feeds in place of the missing parts', () => {
    const bare = { ...small, title: '', lines: [], stages: [], total: 0 };
    const expected =
      '<!doctype html><html lang="ru"><head><meta charset="utf-8"><title>КП</title>\n' +
      '<style>body{font:15px/1.4 system-ui,sans-serif;color:#171717;padding:24px}table{border-collapse:collapse;width:100%}td,th{border-bottom:1px solid #e5e5e5;text-align:left;padding:6px 8px}</style>\n' +
      '</head><body>\n' +
      '\n' +
      '<h1>Коммерческое предложение</h1>\n' +
      '<p>Квартира</p>\n' +
      '<table><thead><tr><th>Наименование</th><th>Ед.</th><th>Кол-во</th><th>Цена</th><th>Сумма</th></tr></thead><tbody></tbody></table>\n' +
      '\n' +
      '<p>Итого: 0 ₽</p></body></html>';
    expect(proposalHtml(bare, 'data:text/plain;base64,aGk=')).toBe(expected);
  });

  it('escapes &, <, > and " in this order and leaves single quotes alone', () => {
    const html = proposalHtml(
      {
        ...small,
        title: 'A & "B"',
        object_name: "O'Neil <b>",
        lines: [{ id: 1, name: 'Кирпич <b>М150</b> & раствор', unit: '<м>', quantity: 1, unit_price: 1, total: 1 }],
        stages: [{ title: '&lt;', amount: 1 }],
      },
      'data:image/svg+xml;base64,"><script>',
    );
    expect(html).toContain('<title>A &amp; &quot;B&quot;</title>');
    expect(html).toContain('<p>O\'Neil &lt;b&gt;</p>');
    expect(html).toContain('<td>Кирпич &lt;b&gt;М150&lt;/b&gt; &amp; раствор</td><td>&lt;м&gt;</td>');
    expect(html).toContain('<p>&amp;lt;: 1 ₽</p>');
    expect(html).toContain('src="data:image/svg+xml;base64,&quot;&gt;&lt;script&gt;"');
    expect(html).not.toContain('<b>');
  });
});

describe('output names and texts', () => {
  it.each([
    ['КП: этап 1/2', 'КП- этап 1-2'],
    [' a\\b?c%d*e|f"g<h> ', 'a-b-c-d-e-f-g-h-'],
    ['', 'КП'],
    ['   ', 'Смета'],
  ])('print title of %j is %j', (title, expected) => {
    expect(printTitle(title)).toBe(expected);
  });

  it.each([
    ['КП: этап 1/2', 'КП этап 1 2.html'],
    ['', 'kp.html'],
    ['  ', 'kp.html'],
    ['con', 'smeta-con.html'],
  ])('the HTML file of title %j is offered as %j', (title, name) => {
    expect(defaultHtmlName(title)).toBe(name);
  });

  it.each([
    ['/home/u/kp.htm', '/home/u/kp.html'],
    ['/home/u/kp.html', '/home/u/kp.html'],
    ['/home/u/kp', '/home/u/kp.html'],
    ['/home/u/kp.v2.txt', '/home/u/kp.v2.html'],
    ['/home/u/.kp', '/home/u/.kp.html'],
    ['/home/u.d/kp', '/home/u.d/kp.html'],
    ['C:\\Users\\u\\КП.HTM', 'C:\\Users\\u\\КП.html'],
  ])('saving to %s writes %s', (path, expected) => {
    expect(withHtmlExtension(path)).toBe(expected);
  });

  it.each([
    [new Error('Error: чужой сайт'), 'чужой сайт'],
    ['Error:   нет ключа', 'нет ключа'],
    ['ключ доступа не принят', 'ключ доступа не принят'],
    ['Error:', 'нет сети, ссылка не создана'],
    [new Error(''), 'нет сети, ссылка не создана'],
    ['An Error: x', 'An Error: x'],
  ])('a failed link request %j shows %j', (failure, expected) => {
    expect(linkErrorText(failure)).toBe(expected);
  });
});
