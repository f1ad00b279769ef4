// How a page's file dialog request becomes the settings of the system's common file dialog:
// its title, file types ("Книга Excel" with "*.xlsx"), proposed name and default extension.
#pragma once

#include <string>
#include <vector>

#include "app/native_dialogs.h"

namespace calcora::browser_shell {

struct FileDialogSetup {
  struct FileType {
    std::string name;
    std::string patterns;  // "*.xlsx;*.xls"; "*.*" when the filter names no extension
  };
  std::string title;
  std::vector<FileType> file_types;
  std::string file_name;          // proposed name (save dialogs only)
  std::string folder;             // where a save dialog starts; empty: where the system likes
  std::string default_extension;  // added when the user types a name without one; from the first type
};

FileDialogSetup file_dialog_setup(const FileDialogRequest& request);

}  // namespace calcora::browser_shell
