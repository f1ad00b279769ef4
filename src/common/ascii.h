// Character tests on the ASCII subset, where the C library's versions would depend on the locale
// or take an int that a Cyrillic byte turns negative.
#pragma once

#include <string_view>

namespace calcora {

inline bool is_ascii_digit(char c) { return c >= '0' && c <= '9'; }

// Empty or only spaces, tabs and line ends: what a user sees as an empty cell or field.
inline bool is_blank(std::string_view s) { return s.find_first_not_of(" \t\r\n\v\f") == std::string_view::npos; }

}  // namespace calcora
