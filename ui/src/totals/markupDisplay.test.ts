import { describe, expect, it } from 'vitest';
import { markupForDisplay } from './markupDisplay';

describe('markup formula as the field shows it', () => {
  it.each([
    ['materials * 0.05', 'материалы * 0.05'],
    ['(works + extras) * 0.1', '(работы + доп) * 0.1'],
    ['WORKS*0.1 + Delivery', 'работы*0.1 + доставка'],
    ['equipment+advance', 'техника+аванс'],
    // Whole words only: letters of any alphabet, digits and underscores are part of a word.
    ['worksheet + works2 + _works + works_', 'worksheet + works2 + _works + works_'],
    ['сверхworks + worksа + works', 'сверхworks + worksа + работы'],
    ['éworks + works', 'éworks + работы'],
    ['работы * 0.1', 'работы * 0.1'],
    ['', ''],
  ])('%j shows as %j', (stored, shown) => {
    expect(markupForDisplay(stored)).toBe(shown);
  });

  it('shows nothing for a missing formula', () => {
    expect(markupForDisplay(null)).toBe('');
  });
});
