// The status bar: save state at the left, the table zoom at the right.

import { memo } from 'react';
import { ZOOM_MAX, ZOOM_MIN, ZOOM_STEP } from '../../grid/zoom';
import { SaveState } from './toolbar/Toolbar';

export const StatusBar = memo(function StatusBar({ saving, zoom, onZoom }: { saving: boolean; zoom: number; onZoom: (zoom: number) => void }) {
  return (
    <footer className="status-bar" data-testid="status-bar">
      <SaveState saving={saving} />
      <span className="toolbar-spacer" />
      <label className="zoom-control" htmlFor="table-zoom">
        Масштаб
      </label>
      <input
        id="table-zoom"
        type="range"
        min={ZOOM_MIN}
        max={ZOOM_MAX}
        step={ZOOM_STEP}
        value={zoom}
        onChange={(e) => onZoom(Number(e.target.value))}
        data-testid="zoom-slider"
      />
      <output className="zoom-value" htmlFor="table-zoom" data-testid="zoom-value">
        {zoom}%
      </output>
    </footer>
  );
});
