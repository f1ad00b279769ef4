// Printing the estimate: the document title names the printed file, so it is made safe for
// the time of the print and put back afterwards.

import { safePrintTitle } from '../../grid/printTitle';

export function printEstimate(objectName: string): void {
  const previous = document.title;
  document.title = safePrintTitle(objectName);
  const restore = () => {
    document.title = previous;
    window.removeEventListener('afterprint', restore);
  };
  window.addEventListener('afterprint', restore);
  window.print();
}
