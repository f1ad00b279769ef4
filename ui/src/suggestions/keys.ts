// What a key in the name field does to the suggestions, as a table from (list state, key) to
// an effect. The field applies the effect; Enter always goes on to the editor's own move.

export interface SuggestionKeyState {
  open: boolean;
  highlight: number;
  count: number;
  /** An inline completion is shown behind the cursor. */
  completion: boolean;
}

export type SuggestionKeyEffect =
  | { kind: 'none' }
  | { kind: 'highlight'; index: number }
  | { kind: 'close' }
  | { kind: 'choose'; index: number };

export interface SuggestionKeyResult {
  effect: SuggestionKeyEffect;
  /** The key's default action (caret move, focus move) must not happen. */
  preventDefault: boolean;
  /** The editor's own handling of the key follows. */
  passOn: boolean;
}

const NONE: SuggestionKeyEffect = { kind: 'none' };

export function suggestionKey(state: SuggestionKeyState, key: string): SuggestionKeyResult {
  const listed = state.open && state.count > 0;
  switch (key) {
    case 'ArrowDown':
    case 'ArrowUp': {
      if (!listed) return { effect: NONE, preventDefault: false, passOn: true };
      const step = key === 'ArrowDown' ? 1 : -1;
      const index = (((state.highlight + step) % state.count) + state.count) % state.count;
      return { effect: { kind: 'highlight', index }, preventDefault: true, passOn: false };
    }
    case 'Escape':
      // With the list closed the editor's Escape follows, and a search still under way is dropped.
      return state.open ? { effect: { kind: 'close' }, preventDefault: true, passOn: false } : { effect: { kind: 'close' }, preventDefault: false, passOn: true };
    case 'Tab':
      return state.completion ? { effect: { kind: 'choose', index: 0 }, preventDefault: true, passOn: false } : { effect: NONE, preventDefault: false, passOn: true };
    case 'Enter': {
      let effect: SuggestionKeyEffect = { kind: 'close' };
      if (listed && state.highlight >= 0 && state.highlight < state.count) effect = { kind: 'choose', index: state.highlight };
      else if (!state.open && state.completion) effect = { kind: 'choose', index: 0 };
      return { effect, preventDefault: false, passOn: true };
    }
    default:
      return { effect: NONE, preventDefault: false, passOn: true };
  }
}
