// The frame of every screen: side menu on the left, the screen to its right, and the
// page-wide behaviour: theme following the system, F1 to help, Ctrl+S in the editor.

import { useCallback, useEffect, useState, type ReactNode } from 'react';
import { listen, readFlag, STORAGE_KEYS, writeFlag } from '../platform';
import { navigate } from '../router/router';
import { applySettings } from '../settings/settings';
import { estimateStore } from '../estimateStore';
import { menuExtensions } from './menuExtensions';
import { SideMenu } from './SideMenu';

function useSystemTheme(): void {
  useEffect(() => {
    applySettings();
    if (typeof window.matchMedia !== 'function') return;
    const query = window.matchMedia('(prefers-color-scheme: dark)');
    const onChange = () => applySettings();
    query.addEventListener('change', onChange);
    return () => query.removeEventListener('change', onChange);
  }, []);
}

function useHelpKey(): void {
  useEffect(() => {
    const onKey = (e: KeyboardEvent) => {
      if (e.key !== 'F1') return;
      // The browser view would open its own help otherwise.
      e.preventDefault();
      e.stopPropagation();
      navigate('/help');
    };
    window.addEventListener('keydown', onKey, true);
    return () => window.removeEventListener('keydown', onKey, true);
  }, []);
}

/** Ctrl+S: saves the open estimate while its editor is shown; elsewhere nothing to save. */
function useGlobalSave(path: string): void {
  useEffect(() => {
    return listen('global-save', () => {
      if (window.location.pathname.startsWith('/editor/')) void estimateStore.saveNow();
    });
  }, [path]);
}

export function Shell({ path, children }: { path: string; children: ReactNode }) {
  const [collapsed, setCollapsed] = useState(() => readFlag(STORAGE_KEYS.sidebar, false));
  useSystemTheme();
  useHelpKey();
  useGlobalSave(path);

  const toggle = useCallback(() => {
    setCollapsed((c) => {
      writeFlag(STORAGE_KEYS.sidebar, !c);
      return !c;
    });
  }, []);

  return (
    <div className="app-shell">
      <SideMenu path={path} collapsed={collapsed} onToggle={toggle} recent={menuExtensions.recent?.()} />
      <main className="app-main">{children}</main>
    </div>
  );
}
