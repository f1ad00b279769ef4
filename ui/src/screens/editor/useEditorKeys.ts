// The editor's window-wide keys: commands with Ctrl (also inside fields) and grid navigation
// outside fields. Keys of an unfinished input-method composition never act.

import { useEffect, useRef } from 'react';
import { editorCommand, navigationKey, type EditorCommand } from '../../grid/keyboard';
import { hasTextSelection } from './grid/domFocus';
import type { GridController } from './grid/useGridController';

export interface EditorKeyHandlers {
  grid: GridController;
  undo: () => void;
  redo: () => void;
  find: () => void;
}

function isField(target: EventTarget | null): boolean {
  return target instanceof HTMLInputElement || target instanceof HTMLSelectElement || target instanceof HTMLTextAreaElement;
}

/** A modal dialog owns the keyboard: its fields keep their own keys (Ctrl+Z undoes typing there). */
function modalOpen(): boolean {
  return document.querySelector('[role="dialog"][aria-modal="true"]') !== null;
}

/**
 * Navigation keys belong to the grid when they come from the page itself or the grid. A toolbar
 * button keeps the focus after a click, as buttons do, yet the arrows and F2 go on moving in the
 * grid, as in a spreadsheet; Enter and Space still press the button, and an open menu keeps its keys.
 */
function isGridTarget(target: EventTarget | null, key: string): boolean {
  if (target === document.body || target === document.documentElement || target === null) return true;
  if (!(target instanceof HTMLElement)) return false;
  if (target.closest('.grid-scroller') !== null) return true;
  const tool = target.closest('.editor-toolbar :is(button, a), [data-grid-keys]');
  return tool !== null && key !== 'Enter' && tool.getAttribute('aria-expanded') !== 'true';
}

export function useEditorKeys(handlers: EditorKeyHandlers): void {
  const ref = useRef(handlers);
  useEffect(() => {
    ref.current = handlers;
  });
  useEffect(() => {
    const run = (command: EditorCommand, e: KeyboardEvent): boolean => {
      const { grid, undo, redo, find } = ref.current;
      switch (command) {
        // Ctrl+S reaches the page as the "global-save" event, which saves the open estimate.
        case 'save':
          return false;
        case 'undo':
          undo();
          return true;
        case 'redo':
          redo();
          return true;
        case 'find':
          find();
          return true;
        case 'duplicate':
          grid.duplicate();
          return true;
        case 'fillDown':
          grid.fillDown();
          return true;
        case 'bold':
          grid.toggleBold();
          return true;
        case 'copy':
          if (hasTextSelection()) return false;
          return grid.copyRow();
      }
      void e;
      return false;
    };
    const onKey = (e: KeyboardEvent) => {
      if (e.isComposing || e.keyCode === 229 || modalOpen()) return;
      const command = editorCommand(e);
      if (command) {
        if (run(command, e)) e.preventDefault();
        return;
      }
      if (e.ctrlKey || e.metaKey || e.altKey || isField(e.target) || !isGridTarget(e.target, e.key)) return;
      const { grid } = ref.current;
      const result = navigationKey(grid.focusRef.current, e.key, grid.shape());
      if (!result) return;
      e.preventDefault();
      grid.moveFocus(result.focus, result.edit);
    };
    window.addEventListener('keydown', onKey, true);
    return () => window.removeEventListener('keydown', onKey, true);
  }, []);
}
