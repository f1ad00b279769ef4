// Parser of a line's quantity formula: numbers (with a point or the Russian decimal comma),
// variables, references to other lines (line:<id>.qty / line:<id>.price), the four operations
// and parentheses. There are no argument lists, so a comma between digits can mean nothing else.

export type FormulaNode =
  | { kind: 'num'; value: number }
  | { kind: 'var'; name: string }
  | { kind: 'line'; id: number; field: 'qty' | 'price' }
  | { kind: 'op'; op: '+' | '-' | '*' | '/'; left: FormulaNode; right: FormulaNode };

export type ParseResult = { ok: true; node: FormulaNode } | { ok: false; error: string };

export const MSG_EMPTY = 'пустая формула';
export const MSG_TRAILING = 'лишние символы';
export const MSG_EXPECTED_VALUE = 'ожидалось значение';
export const MSG_NO_CLOSING = 'нет закрывающей скобки';
export const MSG_BAD_REFERENCE = 'ссылка: line:<id>.qty|price';
export const MSG_NUMBER = 'число';
export const MSG_UNKNOWN_TOKEN = 'непонятный токен';
export const MSG_GENERIC = 'ошибка разбора';

class ParseFailure extends Error {}

const LETTER = /\p{L}/u;
const IDENT_REST = /[\p{L}\p{N}_]/u;
const SPACE = /\s/u;
const DIGIT = /[0-9]/;

class Parser {
  private pos = 0;
  // Code points, so letters outside the basic plane count as one character.
  private readonly chars: string[];

  constructor(text: string) {
    this.chars = Array.from(text);
  }

  parseAll(): FormulaNode {
    const node = this.sum();
    this.skipSpace();
    if (this.pos < this.chars.length) throw new ParseFailure(MSG_TRAILING);
    return node;
  }

  private peek(offset = 0): string | undefined {
    return this.chars[this.pos + offset];
  }

  private skipSpace(): void {
    while (this.pos < this.chars.length && SPACE.test(this.chars[this.pos])) this.pos++;
  }

  private sum(): FormulaNode {
    let left = this.product();
    for (;;) {
      this.skipSpace();
      const c = this.peek();
      if (c !== '+' && c !== '-') return left;
      this.pos++;
      left = { kind: 'op', op: c, left, right: this.product() };
    }
  }

  private product(): FormulaNode {
    let left = this.signed();
    for (;;) {
      this.skipSpace();
      const c = this.peek();
      if (c !== '*' && c !== '/') return left;
      this.pos++;
      left = { kind: 'op', op: c, left, right: this.signed() };
    }
  }

  private signed(): FormulaNode {
    this.skipSpace();
    const c = this.peek();
    if (c === '-') {
      this.pos++;
      return { kind: 'op', op: '*', left: { kind: 'num', value: -1 }, right: this.signed() };
    }
    if (c === '+') {
      this.pos++;
      return this.signed();
    }
    return this.atom();
  }

  private atom(): FormulaNode {
    this.skipSpace();
    const c = this.peek();
    if (c === undefined) throw new ParseFailure(MSG_EXPECTED_VALUE);
    if (c === '(') {
      this.pos++;
      const inner = this.sum();
      this.skipSpace();
      if (this.peek() !== ')') throw new ParseFailure(MSG_NO_CLOSING);
      this.pos++;
      return inner;
    }
    if (this.chars.slice(this.pos, this.pos + 5).join('') === 'line:') return this.reference();
    if (c === '_' || LETTER.test(c)) {
      const start = this.pos++;
      while (this.pos < this.chars.length && IDENT_REST.test(this.chars[this.pos])) this.pos++;
      return { kind: 'var', name: this.chars.slice(start, this.pos).join('') };
    }
    if (DIGIT.test(c)) return this.number();
    if (c === '.' && DIGIT.test(this.peek(1) ?? '')) throw new ParseFailure(MSG_NUMBER);
    throw new ParseFailure(MSG_UNKNOWN_TOKEN);
  }

  /** Digits with an optional fraction after a point or a decimal comma (2.5 and 2,5 alike). */
  private number(): FormulaNode {
    const start = this.pos;
    while (DIGIT.test(this.peek() ?? '')) this.pos++;
    const separator = this.peek();
    if ((separator === '.' || separator === ',') && DIGIT.test(this.peek(1) ?? '')) {
      this.pos++;
      while (DIGIT.test(this.peek() ?? '')) this.pos++;
    }
    return { kind: 'num', value: Number(this.chars.slice(start, this.pos).join('').replace(',', '.')) };
  }

  private reference(): FormulaNode {
    this.pos += 5;
    const start = this.pos;
    while (DIGIT.test(this.peek() ?? '')) this.pos++;
    if (this.pos === start || this.peek() !== '.') throw new ParseFailure(MSG_BAD_REFERENCE);
    const id = Number(this.chars.slice(start, this.pos).join(''));
    this.pos++;
    const rest = this.chars.slice(this.pos, this.pos + 5).join('');
    if (rest.startsWith('price')) {
      this.pos += 5;
      return { kind: 'line', id, field: 'price' };
    }
    if (rest.startsWith('qty')) {
      this.pos += 3;
      return { kind: 'line', id, field: 'qty' };
    }
    throw new ParseFailure(MSG_BAD_REFERENCE);
  }
}

export function parseFormula(text: string): ParseResult {
  const trimmed = text.trim();
  if (trimmed === '') return { ok: false, error: MSG_EMPTY };
  try {
    return { ok: true, node: new Parser(trimmed).parseAll() };
  } catch (e) {
    return { ok: false, error: e instanceof ParseFailure && e.message ? e.message : MSG_GENERIC };
  }
}

/** The text that names a reference, also the name of its variable during evaluation. */
export function referenceName(id: number, field: 'qty' | 'price'): string {
  return `line:${id}.${field}`;
}
