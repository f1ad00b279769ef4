// Files dropped onto the window while the editor is shown: the first dropped path is opened
// (an exchange file joins the recent list); folders and other kinds of file are ignored.

import { useEffect, useRef } from 'react';
import { listen } from '../platform';
import { droppedPath, failureText, openEstimateFile } from './openEstimate';

export function useFileDrop(onError: (text: string) => void): void {
  const report = useRef(onError);
  useEffect(() => {
    report.current = onError;
  }, [onError]);
  useEffect(
    () =>
      listen('files-dropped', (payload) => {
        const path = droppedPath(payload);
        if (path) openEstimateFile(path, true).catch((e: unknown) => report.current(failureText(e)));
      }),
    [],
  );
}
