// The native dialogs the page may ask for: a message, a confirmation, and open-file and
// save-file dialogs with file-type filters. Each shell shows its platform's own; the requests
// arrive as JSON text and are answered as JSON text, whichever channel carried them.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "commands/dispatcher.h"

namespace calcora {

struct FileFilter {
  std::string name;
  std::vector<std::string> extensions;  // "xlsx" or ".xlsx"; none means every file
};

struct FileDialogRequest {
  bool save = false;
  std::string title;
  std::string default_name;  // the proposed file name of a save dialog
  std::string folder;        // where a save dialog starts; empty: where the platform likes
  std::vector<FileFilter> filters;
};

// {kind: "open"|"save", title?, defaultName?, folder?, filters?: [{name, extensions}]}; nothing when the
// text is not such a request.
std::optional<FileDialogRequest> parse_file_dialog_request(std::string_view json_text);

class NativeDialogs {
 public:
  virtual ~NativeDialogs() = default;
  virtual void message(const std::string& text) = 0;
  virtual bool confirm(const std::string& text) = 0;
  // The chosen file's full path as UTF-8, or nothing when the user cancelled.
  virtual std::optional<std::string> choose_file(const FileDialogRequest& request) = 0;
};

// Answers one request of the page: {kind: "alert"|"confirm", message} or a file dialog request
// as above. The answer is the JSON text null (alert, cancelled choice), true or false (confirm)
// or the chosen path; a malformed request fails with a text that says what was expected.
CommandOutcome answer_dialog_request(NativeDialogs& dialogs, std::string_view json_text);

}  // namespace calcora
