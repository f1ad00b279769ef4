// The side menu: product name, the sections, a place for recent files, and settings.

import { BookOpen, ChevronLeft, ChevronRight, FileSpreadsheet, LayoutTemplate, LifeBuoy, Settings, type LucideIcon } from 'lucide-react';
import type { ReactNode } from 'react';
import { Link } from '../router/Link';
import { APP_VERSION } from '../version';

interface Entry {
  to: string;
  label: string;
  icon: LucideIcon;
  testId: string;
  active: (path: string) => boolean;
}

const startsWith = (prefix: string) => (path: string) => path.startsWith(prefix);

const SECTIONS: readonly Entry[] = [
  { to: '/', label: 'Сметы', icon: FileSpreadsheet, testId: 'nav-estimates', active: (p) => p === '/' },
  { to: '/templates', label: 'Шаблоны', icon: LayoutTemplate, testId: 'nav-templates', active: startsWith('/templates') },
  { to: '/catalog', label: 'Справочник', icon: BookOpen, testId: 'nav-catalog', active: startsWith('/catalog') },
  { to: '/help', label: 'Справка', icon: LifeBuoy, testId: 'nav-help', active: startsWith('/help') },
];
const SETTINGS: Entry = { to: '/settings', label: 'Настройки', icon: Settings, testId: 'nav-settings', active: startsWith('/settings') };

function MenuEntry({ entry, path, collapsed }: { entry: Entry; path: string; collapsed: boolean }) {
  const active = entry.active(path);
  const Icon = entry.icon;
  return (
    <Link
      to={entry.to}
      className={`menu-entry${active ? ' is-active' : ''}`}
      aria-current={active ? 'page' : undefined}
      title={collapsed ? entry.label : undefined}
      aria-label={collapsed ? entry.label : undefined}
      data-testid={entry.testId}
    >
      <span className="menu-icon" aria-hidden="true">
        <Icon strokeWidth={1.75} />
      </span>
      {!collapsed && <span className="menu-label">{entry.label}</span>}
    </Link>
  );
}

export interface SideMenuProps {
  path: string;
  collapsed: boolean;
  onToggle: () => void;
  /** Recent exchange files, shown while the menu is open. */
  recent?: ReactNode;
}

export function SideMenu({ path, collapsed, onToggle, recent }: SideMenuProps) {
  const toggleLabel = collapsed ? 'Развернуть' : 'Свернуть';
  return (
    <nav className={`side-menu${collapsed ? ' is-collapsed' : ''}`} data-testid="side-menu" data-collapsed={collapsed ? '1' : '0'}>
      <div className="menu-head">
        {!collapsed && (
          <div className="menu-brand">
            <span className="menu-product">Calcora</span>
            <span className="menu-version">{APP_VERSION}</span>
          </div>
        )}
        <button type="button" className="menu-toggle" title={toggleLabel} aria-label={toggleLabel} onClick={onToggle} data-testid="menu-toggle">
          {collapsed ? <ChevronRight strokeWidth={1.75} /> : <ChevronLeft strokeWidth={1.75} />}
        </button>
      </div>
      <div className={collapsed ? 'sr-only' : 'menu-caption'}>Разделы</div>
      <div className="menu-entries">
        {SECTIONS.map((entry) => (
          <MenuEntry key={entry.to} entry={entry} path={path} collapsed={collapsed} />
        ))}
      </div>
      <div className="menu-recent" data-testid="menu-recent">
        {!collapsed && recent}
      </div>
      <div className="menu-foot">
        <MenuEntry entry={SETTINGS} path={path} collapsed={collapsed} />
      </div>
    </nav>
  );
}
