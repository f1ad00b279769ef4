// Text put into an HTML page: element content and double-quoted attribute values.
#pragma once

#include <string>
#include <string_view>

namespace calcora {

// Replaces "&", "<", ">" and the double quote by their entities ("&" first, so nothing is
// escaped twice); single quotes stay, so attribute values must be double-quoted.
std::string escape_html(std::string_view text);

}  // namespace calcora
