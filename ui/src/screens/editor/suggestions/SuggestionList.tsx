// The list of suggestions hanging under the name field, in a layer above the page.

import { useEffect, useRef, type RefObject } from 'react';
import { createPortal } from 'react-dom';
import type { CatalogItem } from '../../../suggestions/catalogItem';
import { entryParts } from '../../../suggestions/entry';
import type { ListPlacement } from '../../../suggestions/placement';

export interface SuggestionListProps {
  id: string;
  items: readonly CatalogItem[];
  highlight: number;
  placement: ListPlacement;
  listRef: RefObject<HTMLDivElement | null>;
  onHover: (index: number) => void;
  onChoose: (index: number) => void;
}

export const optionId = (listId: string, index: number) => `${listId}-opt-${index}`;

export function SuggestionList({ id, items, highlight, placement, listRef, onHover, onChoose }: SuggestionListProps) {
  const highlighted = useRef<HTMLDivElement>(null);
  // Braces: scrolling methods may return a promise, which an effect must not return.
  useEffect(() => {
    highlighted.current?.scrollIntoView?.({ block: 'nearest' });
  }, [highlight]);

  return createPortal(
    <div
      ref={listRef}
      id={id}
      className="suggest-list"
      role="listbox"
      aria-label="Подсказки"
      data-testid="suggestions"
      style={{ left: placement.left, top: placement.top, width: placement.width }}
      // A press inside the list must leave the focus in the name field.
      onMouseDown={(e) => e.preventDefault()}
    >
      {items.map((item, i) => {
        const parts = entryParts(item);
        return (
          <div
            key={item.id ?? `${item.name}-${i}`}
            ref={i === highlight ? highlighted : undefined}
            id={optionId(id, i)}
            role="option"
            aria-selected={i === highlight}
            className={`suggest-entry${i === highlight ? ' is-highlighted' : ''}`}
            data-testid="suggestion"
            onMouseEnter={() => onHover(i)}
            onMouseDown={(e) => {
              e.preventDefault();
              onChoose(i);
            }}
          >
            <span className="suggest-name">{parts.name}</span>
            {parts.unit && <span className="suggest-unit">{parts.unit}</span>}
            {parts.type && <span className="suggest-type">{parts.type}</span>}
            {parts.usage && <span className="suggest-usage">{parts.usage}</span>}
          </div>
        );
      })}
    </div>,
    document.body,
  );
}
