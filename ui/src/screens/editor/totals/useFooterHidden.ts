// Whether the totals panel is hidden, remembered in local storage ("1" hidden, "0" shown).

import { useCallback, useState } from 'react';
import { readFlag, STORAGE_KEYS, writeFlag } from '../../../platform';

export function useFooterHidden(): [boolean, (hidden: boolean) => void] {
  const [hidden, setHidden] = useState(() => readFlag(STORAGE_KEYS.footer, false));
  const set = useCallback((value: boolean) => {
    writeFlag(STORAGE_KEYS.footer, value);
    setHidden(value);
  }, []);
  return [hidden, set];
}
