// Fills an empty price catalog with the standard catalog at first start.
#pragma once

#include <filesystem>

#include "store/standard_catalog.h"

namespace calcora {

class Database;

// Replaces the catalog with the standard entries: the examples folder's workbooks when
// they give any, else the compiled-in list. Throws on failure, with nothing written;
// the caller decides whether that stops anything.
void seed_catalog(Database& db, const std::filesystem::path& examples_dir, CatalogWorkbookReader reader);

}  // namespace calcora
