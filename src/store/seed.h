// Fills an empty price catalog with the standard catalog at first start.
#pragma once

#include <filesystem>

namespace calcora {

class Database;

// Inserts the standard entries (compiled-in list plus the examples folder's workbooks).
// Throws on failure; the caller decides whether that stops anything.
void seed_catalog(Database& db, const std::filesystem::path& examples_dir);

}  // namespace calcora
