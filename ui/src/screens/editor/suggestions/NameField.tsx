// The name field of a line with suggestions from the name memory: the list under the field,
// the grey inline completion behind the cursor, and the keys that work them. The editor's own
// key handling (Enter moves on, Tab moves focus) gets every key the suggestions leave over.

import { useCallback, useEffect, useId, useLayoutEffect, useRef, useState, type ClipboardEvent, type CSSProperties, type FocusEvent, type KeyboardEvent, type Ref } from 'react';
import type { CatalogItem } from '../../../suggestions/catalogItem';
import { inlineCompletion } from '../../../suggestions/completion';
import { suggestionKey } from '../../../suggestions/keys';
import { placeSuggestionList, type ListPlacement } from '../../../suggestions/placement';
import { optionId, SuggestionList } from './SuggestionList';
import { useNameSuggestions } from './useNameSuggestions';
import './suggestions.css';

export interface NameFieldProps {
  value: string;
  /** The name cell's alignment: the inline completion is drawn for left-aligned names only. */
  align?: 'left' | 'center' | 'right';
  style?: CSSProperties;
  className?: string;
  placeholder?: string;
  inputRef?: Ref<HTMLInputElement>;
  /** Every keystroke: the editor sets the name, drops the link and guesses the category. */
  onType: (text: string) => void;
  /** A suggestion was chosen: the editor fills the line from the item. */
  onChoose: (item: CatalogItem) => void;
  onKeyDown?: (e: KeyboardEvent<HTMLInputElement>) => void;
  onFocus?: (e: FocusEvent<HTMLInputElement>) => void;
  onBlur?: (e: FocusEvent<HTMLInputElement>) => void;
  onPaste?: (e: ClipboardEvent<HTMLInputElement>) => void;
  /** The grid's cell address ("row:col") that its keyboard moves look for. */
  cell?: string;
  'data-testid'?: string;
  'aria-label'?: string;
}

function isComposing(e: KeyboardEvent<HTMLInputElement>): boolean {
  return e.nativeEvent.isComposing || e.keyCode === 229;
}

export function NameField(props: NameFieldProps) {
  const { value, align = 'left', style, className, placeholder, inputRef, onType, onChoose, onKeyDown, onFocus, onBlur } = props;
  const s = useNameSuggestions();
  const listId = useId();
  const input = useRef<HTMLInputElement | null>(null);
  const list = useRef<HTMLDivElement | null>(null);
  const [placement, setPlacement] = useState<ListPlacement | null>(null);
  const [ghostBox, setGhostBox] = useState<CSSProperties>({});
  const completion = inlineCompletion({ typed: value, results: s.results, listOpen: s.open, align });

  const setRefs = useCallback(
    (el: HTMLInputElement | null) => {
      input.current = el;
      if (typeof inputRef === 'function') inputRef(el);
      else if (inputRef) (inputRef as { current: HTMLInputElement | null }).current = el;
    },
    [inputRef],
  );

  const place = useCallback(() => {
    if (input.current) setPlacement(placeSuggestionList(input.current.getBoundingClientRect(), window.innerWidth));
  }, []);

  // The list follows the field when the page scrolls or the window changes size.
  useLayoutEffect(() => {
    if (!s.open) return;
    place();
    window.addEventListener('scroll', place, true);
    window.addEventListener('resize', place);
    return () => {
      window.removeEventListener('scroll', place, true);
      window.removeEventListener('resize', place);
    };
  }, [s.open, place]);

  const { open, close } = s;
  useEffect(() => {
    if (!open) return;
    const onPress = (e: MouseEvent) => {
      const target = e.target as Node;
      if (!input.current?.contains(target) && !list.current?.contains(target)) close();
    };
    document.addEventListener('mousedown', onPress);
    return () => document.removeEventListener('mousedown', onPress);
  }, [open, close]);

  // The grey rest is drawn in a layer over the field with the field's own font and padding.
  useLayoutEffect(() => {
    if (!completion || !input.current) return;
    const cs = getComputedStyle(input.current);
    setGhostBox({
      font: cs.font,
      letterSpacing: cs.letterSpacing,
      paddingLeft: `calc(${cs.paddingLeft} + ${cs.borderLeftWidth})`,
      paddingRight: `calc(${cs.paddingRight} + ${cs.borderRightWidth})`,
    });
  }, [completion]);

  const choose = (index: number) => {
    const item = s.results[index];
    if (!item) return;
    onChoose(item);
    s.close();
  };

  const handleKey = (e: KeyboardEvent<HTMLInputElement>) => {
    if (isComposing(e)) return;
    const r = suggestionKey({ open: s.open, highlight: s.highlight, count: s.results.length, completion: completion !== '' }, e.key);
    if (r.preventDefault) e.preventDefault();
    switch (r.effect.kind) {
      case 'highlight':
        s.setHighlight(r.effect.index);
        break;
      case 'close':
        s.close();
        break;
      case 'choose':
        choose(r.effect.index);
        break;
    }
    if (r.passOn) onKeyDown?.(e);
  };

  return (
    <span className={completion ? 'name-field has-ghost' : 'name-field'}>
      <input
        ref={setRefs}
        className={className ?? 'input'}
        style={style}
        value={value}
        placeholder={placeholder}
        autoComplete="off"
        spellCheck={false}
        role="combobox"
        aria-label={props['aria-label'] ?? 'Наименование'}
        aria-autocomplete="both"
        aria-expanded={s.open}
        aria-controls={s.open ? listId : undefined}
        aria-activedescendant={s.open ? optionId(listId, s.highlight) : undefined}
        data-testid={props['data-testid'] ?? 'name-field'}
        data-cell={props.cell}
        onPaste={props.onPaste}
        onChange={(e) => {
          onType(e.target.value);
          s.typed(e.target.value);
        }}
        onFocus={(e) => {
          s.focused(e.target.value);
          onFocus?.(e);
        }}
        onBlur={(e) => {
          s.cancel();
          onBlur?.(e);
        }}
        onKeyDown={handleKey}
      />
      {completion && (
        <span className="name-ghost" style={{ ...ghostBox, textAlign: 'left' }} aria-hidden="true" data-testid="name-completion">
          <span className="name-ghost-typed">{value}</span>
          <span className="name-ghost-rest">{completion}</span>
        </span>
      )}
      {s.open && placement && (
        <SuggestionList id={listId} items={s.results} highlight={s.highlight} placement={placement} listRef={list} onHover={s.setHighlight} onChoose={choose} />
      )}
    </span>
  );
}
