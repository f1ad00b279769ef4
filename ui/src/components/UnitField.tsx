// The unit field: free text that is normalised when the field is left, with a list of
// common units (or the full list) hanging under it.

import { useCallback, useEffect, useLayoutEffect, useMemo, useRef, useState, type ClipboardEvent, type CSSProperties, type KeyboardEvent } from 'react';
import { createPortal } from 'react-dom';
import { readFlag, STORAGE_KEYS, writeFlag } from '../platform';
import { normalizeUnit, offeredUnits, unitOnEnter } from '../units/units';
import './UnitField.css';

export interface UnitFieldProps {
  value: string;
  onChange: (value: string) => void;
  /** Receives every key after the field's own handling (the grid moves on Enter). */
  onKeyDown?: (e: KeyboardEvent<HTMLInputElement>) => void;
  onFocus?: () => void;
  onPaste?: (e: ClipboardEvent<HTMLInputElement>) => void;
  style?: CSSProperties;
  className?: string;
  /** Given where the field has a visible caption (a label with htmlFor): the field's id. */
  id?: string;
}

const ENTRY_PX = 32;
const LIST_EXTRA_PX = 40;
const LIST_MAX_PX = 280;
const MARGIN_PX = 8;
const GAP_PX = 2;

interface Placement {
  left: number;
  top: number;
  width: number;
  above: boolean;
}

/** Where the list goes: under the field, or above it when it would not fit below. */
export function placeList(field: DOMRect, entries: number, full: boolean, viewport: { width: number; height: number }): Placement {
  const width = Math.max(field.width, full ? 220 : 120);
  const height = Math.min(entries * ENTRY_PX + LIST_EXTRA_PX, LIST_MAX_PX);
  const left = Math.max(MARGIN_PX, Math.min(field.left, viewport.width - MARGIN_PX - width));
  const above = field.bottom + GAP_PX + height + MARGIN_PX > viewport.height;
  return { left, width, above, top: above ? field.top - GAP_PX : field.bottom + GAP_PX };
}

export function UnitField({ value, onChange, onKeyDown, onFocus, onPaste, style, className, id }: UnitFieldProps) {
  const [open, setOpen] = useState(false);
  const [full, setFull] = useState(() => readFlag(STORAGE_KEYS.unitCatalogExtended, false));
  // No entry is highlighted until the user moves to one with the arrows: Enter takes the typed unit till then.
  const [highlight, setHighlight] = useState(-1);
  const [placement, setPlacement] = useState<Placement | null>(null);
  const input = useRef<HTMLInputElement>(null);
  const list = useRef<HTMLDivElement>(null);
  const units = useMemo(() => offeredUnits(value, full), [value, full]);

  useEffect(() => setHighlight(-1), [value, open, full]);

  const place = useCallback(() => {
    if (!input.current) return;
    setPlacement(placeList(input.current.getBoundingClientRect(), units.length, full, { width: window.innerWidth, height: window.innerHeight }));
  }, [units.length, full]);

  useLayoutEffect(() => {
    if (!open) return;
    place();
    window.addEventListener('scroll', place, true);
    window.addEventListener('resize', place);
    return () => {
      window.removeEventListener('scroll', place, true);
      window.removeEventListener('resize', place);
    };
  }, [open, place]);

  useEffect(() => {
    if (!open) return;
    const onPress = (e: MouseEvent) => {
      const target = e.target as Node;
      if (!input.current?.contains(target) && !list.current?.contains(target)) setOpen(false);
    };
    document.addEventListener('mousedown', onPress);
    return () => document.removeEventListener('mousedown', onPress);
  }, [open]);

  useEffect(() => {
    list.current?.querySelector(`[data-index="${highlight}"]`)?.scrollIntoView?.({ block: 'nearest' });
  }, [highlight]);

  const choose = (unit: string) => {
    onChange(normalizeUnit(unit));
    setOpen(false);
  };

  const handleKey = (e: KeyboardEvent<HTMLInputElement>) => {
    if (e.key === 'ArrowDown') {
      e.preventDefault();
      if (!open) setOpen(true);
      else setHighlight((h) => (h + 1) % units.length);
    } else if (e.key === 'ArrowUp' && open) {
      e.preventDefault();
      setHighlight((h) => (h <= 0 ? units.length : h) - 1);
    } else if (e.key === 'Escape' && open) {
      setOpen(false);
    } else if (e.key === 'Enter') {
      choose(unitOnEnter(value, open ? units : [], highlight));
    }
    onKeyDown?.(e);
  };

  const toggleFull = () => {
    writeFlag(STORAGE_KEYS.unitCatalogExtended, !full);
    setFull(!full);
  };

  return (
    <>
      <input
        ref={input}
        className={className ?? 'input'}
        style={style}
        value={value}
        id={id}
        title="Единица измерения"
        aria-label={id ? undefined : 'Единица измерения'}
        aria-expanded={open}
        aria-autocomplete="list"
        role="combobox"
        data-testid="unit-field"
        onChange={(e) => {
          onChange(e.target.value);
          setOpen(true);
        }}
        onFocus={() => {
          setOpen(true);
          onFocus?.();
        }}
        onBlur={() => {
          const normal = normalizeUnit(value);
          if (normal !== value) onChange(normal);
          setOpen(false);
        }}
        onKeyDown={handleKey}
        onPaste={onPaste}
      />
      {open &&
        placement &&
        createPortal(
          <div
            ref={list}
            className="unit-list"
            role="listbox"
            data-testid="unit-list"
            style={{
              left: placement.left,
              width: placement.width,
              ...(placement.above ? { bottom: window.innerHeight - placement.top } : { top: placement.top }),
            }}
            // Presses inside the list must not take the focus from the field.
            onMouseDown={(e) => e.preventDefault()}
          >
            <label className="unit-list-full">
              <input type="checkbox" checked={full} onChange={toggleFull} tabIndex={-1} />
              Полный список
            </label>
            {units.map((unit, i) => (
              <div
                key={unit}
                role="option"
                aria-selected={i === highlight}
                data-index={i}
                className={`unit-option${i === highlight ? ' is-highlighted' : ''}`}
                onMouseEnter={() => setHighlight(i)}
                onMouseDown={(e) => {
                  e.preventDefault();
                  choose(unit);
                }}
              >
                {unit}
              </div>
            ))}
          </div>,
          document.body,
        )}
    </>
  );
}
