// Open and save dialogs for the page: window.webkit.messageHandlers.calcoraDialog.postMessage
// with the JSON text {kind: "open"|"save", title?, defaultName?, folder?, filters?: [{name, extensions}]};
// the promise gets the JSON text of the chosen path, or "null" when the user cancels.
#pragma once

#include "app/desktop/shell.h"
#include "app/native_dialogs.h"

namespace calcora::desktop {

// Registers the "calcoraDialog" handler on the view's content manager.
void connect_file_dialogs(Shell& shell, WebKitUserContentManager* content);

}  // namespace calcora::desktop
