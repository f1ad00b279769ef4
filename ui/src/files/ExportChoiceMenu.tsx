// The export menu: a button that opens the four export choices; choosing one runs the
// export of that kind for one estimate.

import { useEffect, useLayoutEffect, useRef, useState, type ReactNode } from 'react';
import { createPortal } from 'react-dom';
import { EXPORT_CHOICES, exportEstimate, type ExportKind } from './exportEstimate';
import { placeMenu, type MenuPlacement } from './menuPlacement';
import { failureText } from './openEstimate';
import './files.css';

export interface ExportChoiceMenuProps {
  estimateId: number;
  objectName: string;
  /** The button's look differs per screen. */
  className?: string;
  children?: ReactNode;
  title?: string;
  disabled?: boolean;
  testId?: string;
  /** The export failed: the command's error text. */
  onError: (text: string) => void;
  /** Called before an export starts (to clear an earlier error). */
  onStart?: () => void;
  /** The file was written: where it went. */
  onSaved?: (path: string) => void;
}

export function ExportChoiceMenu(props: ExportChoiceMenuProps) {
  const { estimateId, objectName, className = 'btn', children = 'Экспорт', title, disabled, testId = 'export-button', onError, onStart, onSaved } = props;
  const [placement, setPlacement] = useState<MenuPlacement | null>(null);
  const [busy, setBusy] = useState(false);
  const button = useRef<HTMLButtonElement>(null);
  const menu = useRef<HTMLDivElement>(null);
  const open = placement !== null;

  useLayoutEffect(() => {
    if (open) menu.current?.querySelector<HTMLButtonElement>('[role="menuitem"]')?.focus();
  }, [open]);

  useEffect(() => {
    if (!open) return;
    const onPress = (e: MouseEvent) => {
      const target = e.target as Node;
      if (!button.current?.contains(target) && !menu.current?.contains(target)) setPlacement(null);
    };
    // The menu is placed once, for the button where it was opened: moving the page closes it.
    const close = () => setPlacement(null);
    document.addEventListener('mousedown', onPress);
    window.addEventListener('resize', close);
    return () => {
      document.removeEventListener('mousedown', onPress);
      window.removeEventListener('resize', close);
    };
  }, [open]);

  const toggle = () => {
    if (open || !button.current) {
      setPlacement(null);
      return;
    }
    setPlacement(placeMenu(button.current.getBoundingClientRect(), window.innerHeight));
  };

  const choose = async (kind: ExportKind) => {
    setPlacement(null);
    onStart?.();
    setBusy(true);
    try {
      const path = await exportEstimate(estimateId, objectName, kind);
      if (path) onSaved?.(path);
    } catch (e) {
      onError(failureText(e));
    } finally {
      setBusy(false);
    }
  };

  const onMenuKey = (e: React.KeyboardEvent) => {
    const items = [...(menu.current?.querySelectorAll<HTMLButtonElement>('[role="menuitem"]') ?? [])];
    const at = items.indexOf(document.activeElement as HTMLButtonElement);
    if (e.key === 'Escape' || e.key === 'Tab') {
      setPlacement(null);
      button.current?.focus();
    } else if (e.key === 'ArrowDown' || e.key === 'ArrowUp') {
      e.preventDefault();
      const step = e.key === 'ArrowDown' ? 1 : -1;
      items[(at + step + items.length) % items.length]?.focus();
    }
  };

  return (
    <>
      <button
        ref={button}
        type="button"
        className={className}
        title={title}
        disabled={disabled || busy}
        aria-haspopup="menu"
        aria-expanded={open}
        onClick={toggle}
        data-testid={testId}
      >
        {children}
      </button>
      {placement &&
        createPortal(
          <div ref={menu} className="export-choice-menu" role="menu" aria-label="Экспорт" style={placement} onKeyDown={onMenuKey} data-testid="export-menu">
            {EXPORT_CHOICES.map((c) => (
              <button
                key={c.kind}
                type="button"
                role="menuitem"
                className="export-choice"
                onClick={() => void choose(c.kind)}
                data-testid={`export-${c.kind}`}
              >
                <span className="export-label">{c.label}</span>
                <span className="export-hint">{c.hint}</span>
              </button>
            ))}
          </div>,
          document.body,
        )}
    </>
  );
}
