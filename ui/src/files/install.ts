// Plugs the file flows into the screens that offer them: the estimate list's export menu
// and "Открыть свой Excel", the recent files of the side menu, and Ctrl+O.

import { createElement } from 'react';
import { showMessage } from '../platform';
import { provideListFileActions } from '../screens/list/fileActions';
import { provideRecentFiles } from '../shell/menuExtensions';
import { ExportChoiceMenu } from './ExportChoiceMenu';
import { installGlobalOpen, openOwnFile } from './openEstimate';
import { RecentFiles } from './RecentFiles';
import { savedText } from './savePlace';

export function installFileFlows(): () => void {
  provideListFileActions({
    openOwnFile,
    exportMenu: (estimate) =>
      createElement(ExportChoiceMenu, {
        estimateId: estimate.id,
        objectName: estimate.object_name,
        className: 'btn btn-ghost',
        testId: 'estimate-export',
        // The list has no error line of its own for its rows.
        onError: (text) => void showMessage(`Ошибка: ${text}`),
        onSaved: (path) => void showMessage(savedText(path)),
      }),
  });
  provideRecentFiles(() => createElement(RecentFiles));
  return installGlobalOpen();
}
