// The page's files as compiled into the program, and how each is served.
#pragma once

#include <span>
#include <string_view>

#include "common/embedded_file.h"

namespace calcora {

// Defined by the generated source of the page build.
std::span<const EmbeddedFile> page_files();

// The file for a request path; every path that is not an asset gets index.html,
// because the page routes addresses such as /editor/5 itself.
const EmbeddedFile& page_file_for_path(std::string_view path);

std::string_view mime_type_for(std::string_view name);

}  // namespace calcora
