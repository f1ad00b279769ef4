// The menu a right click on a row opens at the pointer.

import { useEffect, useRef } from 'react';

export interface RowMenuProps {
  x: number;
  y: number;
  onDuplicate: () => void;
  onInsertAbove: () => void;
  onInsertBelow: () => void;
  onCopy: () => void;
  onClose: () => void;
}

export function RowMenu({ x, y, onDuplicate, onInsertAbove, onInsertBelow, onCopy, onClose }: RowMenuProps) {
  const root = useRef<HTMLDivElement>(null);
  useEffect(() => {
    const outside = (e: MouseEvent) => {
      if (!root.current?.contains(e.target as Node)) onClose();
    };
    // A right click elsewhere closes this menu before the row's own handler opens the next one.
    document.addEventListener('mousedown', outside, true);
    document.addEventListener('contextmenu', outside, true);
    return () => {
      document.removeEventListener('mousedown', outside, true);
      document.removeEventListener('contextmenu', outside, true);
    };
  }, [onClose]);

  const left = Math.max(8, Math.min(x, window.innerWidth - 208));
  const top = Math.max(8, Math.min(y, window.innerHeight - 168));
  const item = (label: string, run: () => void, testId: string) => (
    <button
      type="button"
      role="menuitem"
      className="popup-item"
      onClick={() => {
        run();
        onClose();
      }}
      data-testid={testId}
    >
      <span className="popup-label">{label}</span>
    </button>
  );
  return (
    <div ref={root} className="popup-menu row-menu" role="menu" style={{ left, top }} data-testid="row-menu" onContextMenu={(e) => e.preventDefault()}>
      {item('Дублировать', onDuplicate, 'menu-duplicate')}
      {item('Вставить выше', onInsertAbove, 'menu-insert-above')}
      {item('Вставить ниже', onInsertBelow, 'menu-insert-below')}
      {item('Копировать (TSV)', onCopy, 'menu-copy')}
    </div>
  );
}
