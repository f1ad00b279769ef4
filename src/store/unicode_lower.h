// Full Unicode lower-casing (ICU root locale), used wherever names are compared
// ignoring letter case, in C++ and as SQLite's `lower` on every connection.
#pragma once

#include <sqlite3.h>

#include <string>
#include <string_view>

namespace calcora {

std::string unicode_lower(std::string_view utf8);

// Replaces SQLite's ASCII-only lower() on this connection.
void register_unicode_lower(sqlite3* db);

}  // namespace calcora
