// Whether the page is being printed. The grid draws only the rows in sight, so for a printout
// every line is drawn as it goes to paper (before the browser lays out the printed pages) and
// taken away again afterwards.

import { useEffect, useState } from 'react';
import { flushSync } from 'react-dom';

export function usePrinting(): boolean {
  const [printing, setPrinting] = useState(false);
  useEffect(() => {
    const set = (on: boolean) => flushSync(() => setPrinting(on));
    // A print preview or a PDF made by emulating print media only switches the media type.
    const media = window.matchMedia('print');
    const before = () => set(true);
    const after = () => set(media.matches);
    const onMedia = (e: MediaQueryListEvent) => set(e.matches);
    window.addEventListener('beforeprint', before);
    window.addEventListener('afterprint', after);
    media.addEventListener('change', onMedia);
    if (media.matches) setPrinting(true);
    return () => {
      window.removeEventListener('beforeprint', before);
      window.removeEventListener('afterprint', after);
      media.removeEventListener('change', onMedia);
    };
  }, []);
  return printing;
}
