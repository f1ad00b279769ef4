// Writes the positions of an imported catalog file into the catalog in one transaction.
#pragma once

#include <cstddef>
#include <filesystem>

#include "exchange/catalog_table.h"
#include "store/database.h"

namespace calcora {

struct CatalogImportCount {
  size_t loaded = 0;
  size_t skipped = 0;
};

// Price lists update the item with the same SKU, else the same name ignoring letter case, else
// add one; an update changes only the fields the file gives a value for. The other layouts add
// only names the catalog lacks. Nothing is written when any statement fails.
CatalogImportCount write_catalog_table(Database& db, const CatalogTable& table);

// The whole command: reads the file and writes it.
CatalogImportCount import_catalog_file(Database& db, const std::filesystem::path& path);

}  // namespace calcora
