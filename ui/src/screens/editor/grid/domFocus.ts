// DOM focus following the grid state: put the keyboard into a cell's field, select its text,
// and scroll the body so the cell shows with a margin.

const MARGIN_PX = 8;

export function cellField(root: HTMLElement, row: number, col: number): HTMLInputElement | null {
  return (
    root.querySelector<HTMLInputElement>(`[data-cell="${row}:${col}"]`) ??
    root.querySelector<HTMLInputElement>(`[data-cell-wrap="${row}:${col}"] input`)
  );
}

/** Scrolls the scroller so that the element shows below the sticky header, with a margin. */
export function revealInScroller(scroller: HTMLElement, el: Element): void {
  const box = scroller.getBoundingClientRect();
  const head = scroller.querySelector('.grid-head')?.getBoundingClientRect().height ?? 0;
  const r = el.getBoundingClientRect();
  const top = box.top + head + MARGIN_PX;
  const bottom = box.bottom - MARGIN_PX;
  if (r.top < top) scroller.scrollTop -= top - r.top;
  else if (r.bottom > bottom) scroller.scrollTop += r.bottom - bottom;
  const left = box.left + MARGIN_PX;
  const right = box.right - MARGIN_PX;
  if (r.left < left) scroller.scrollLeft -= left - r.left;
  else if (r.right > right) scroller.scrollLeft += Math.min(r.right - right, r.left - left);
}

export function focusCellField(root: HTMLElement, scroller: HTMLElement, row: number, col: number): boolean {
  const field = cellField(root, row, col);
  if (!field) return false;
  field.focus({ preventScroll: true });
  field.select();
  revealInScroller(scroller, field);
  return true;
}

export function revealRow(root: HTMLElement, scroller: HTMLElement, row: number): void {
  const el = root.querySelector(`[data-row="${row}"]`);
  if (el) revealInScroller(scroller, el);
}

/** Writes text to the clipboard through the copy event: works without any permission. */
export function copyText(text: string): void {
  const onCopy = (e: ClipboardEvent) => {
    e.clipboardData?.setData('text/plain', text);
    e.preventDefault();
  };
  document.addEventListener('copy', onCopy, true);
  let done = false;
  try {
    done = document.execCommand('copy');
  } finally {
    document.removeEventListener('copy', onCopy, true);
  }
  if (!done) void navigator.clipboard?.writeText(text).catch(() => undefined);
}

export function hasTextSelection(): boolean {
  const active = document.activeElement;
  if (active instanceof HTMLInputElement || active instanceof HTMLTextAreaElement) {
    try {
      if (active.selectionStart !== null && active.selectionStart !== active.selectionEnd) return true;
    } catch {
      // Inputs without a text selection (checkboxes) throw here.
    }
  }
  return (window.getSelection()?.toString() ?? '') !== '';
}

/**
 * Puts text into the focused field as if typed, through the field's own input handling: over
 * the selection, else at the cursor, or (`wholeCell`) over the cell's whole value.
 */
export function insertTyped(text: string, wholeCell: boolean): void {
  const field = document.activeElement;
  if (!(field instanceof HTMLInputElement)) return;
  if (wholeCell && field.selectionStart === field.selectionEnd) field.select();
  if (document.execCommand('insertText', false, text)) return;
  field.setRangeText(text, field.selectionStart ?? field.value.length, field.selectionEnd ?? field.value.length, 'end');
  field.dispatchEvent(new Event('input', { bubbles: true }));
}
