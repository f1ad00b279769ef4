#include "app/browser_shell/file_dialog_setup.h"

namespace calcora::browser_shell {

namespace {

// ".xlsx" and "xlsx" alike; characters the dialog would take as a pattern are dropped.
std::string bare_extension(const std::string& extension) {
  std::string bare;
  for (char c : extension)
    if (c != '*' && c != '?' && c != ';' && !(bare.empty() && c == '.')) bare += c;
  return bare;
}

}  // namespace

FileDialogSetup file_dialog_setup(const FileDialogRequest& request) {
  FileDialogSetup setup;
  setup.title = !request.title.empty() ? request.title : request.save ? "Сохранить файл" : "Открыть файл";
  for (const FileFilter& filter : request.filters) {
    std::string patterns;
    for (const std::string& extension : filter.extensions) {
      const std::string bare = bare_extension(extension);
      if (bare.empty()) continue;
      if (!patterns.empty()) patterns += ';';
      patterns += "*." + bare;
      if (setup.default_extension.empty() && setup.file_types.empty()) setup.default_extension = bare;
    }
    setup.file_types.push_back({filter.name, patterns.empty() ? "*.*" : patterns});
  }
  if (request.save) {
    setup.file_name = request.default_name;
    setup.folder = request.folder;
  }
  return setup;
}

}  // namespace calcora::browser_shell
