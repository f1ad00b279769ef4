// Open and save dialogs for the page: window.webkit.messageHandlers.calcoraDialog.postMessage
// with the JSON text {kind: "open"|"save", title?, defaultName?, filters?: [{name, extensions}]};
// the promise gets the JSON text of the chosen path, or "null" when the user cancels.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "app/desktop/shell.h"

namespace calcora::desktop {

struct FileFilter {
  std::string name;
  std::vector<std::string> extensions;
};

struct FileDialogRequest {
  bool save = false;
  std::string title;
  std::string default_name;
  std::string folder;  // where a save dialog starts; empty: where GTK likes
  std::vector<FileFilter> filters;
};

// Nothing when the text is not such a request.
std::optional<FileDialogRequest> parse_file_dialog_request(std::string_view json_text);

// Registers the "calcoraDialog" handler on the view's content manager.
void connect_file_dialogs(Shell& shell, WebKitUserContentManager* content);

}  // namespace calcora::desktop
