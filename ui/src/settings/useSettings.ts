// The current settings as React state, updated after every write.
import { useEffect, useState } from 'react';
import { readSettings, subscribeSettings, type AppSettings } from './settings';

export function useSettings(): AppSettings {
  const [settings, setSettings] = useState(readSettings);
  useEffect(() => subscribeSettings(setSettings), []);
  return settings;
}
