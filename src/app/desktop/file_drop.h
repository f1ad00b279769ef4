// Files dropped on the window reach the page as paths, in the event "files-dropped".
#pragma once

#include <string>
#include <vector>

#include "app/desktop/shell.h"

namespace calcora::desktop {

// The local paths of a text/uri-list drop; other addresses (http:, trash:, files on another
// host) are left out.
std::vector<std::string> paths_of_uris(const char* const* uris);

void connect_file_drop(Shell& shell);

}  // namespace calcora::desktop
