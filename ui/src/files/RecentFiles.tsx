// "Недавние" in the side menu: the recent exchange files, each leading to its estimate.

import { FileText } from 'lucide-react';
import { useSyncExternalStore } from 'react';
import { Link } from '../router/Link';
import { readRecent, recentTarget, subscribeRecent } from './recent';
import './files.css';

export function RecentFiles() {
  const recent = useSyncExternalStore(subscribeRecent, readRecent);
  if (recent.length === 0) return null;
  return (
    <div data-testid="recent-files">
      <div className="menu-caption recent-caption">Недавние</div>
      {recent.map((entry) => (
        <Link key={entry.path} to={recentTarget(entry)} className="recent-entry" title={entry.path} data-testid="recent-entry">
          <FileText strokeWidth={1.75} aria-hidden="true" />
          <span className="recent-name">{entry.name || entry.path}</span>
        </Link>
      ))}
    </div>
  );
}
