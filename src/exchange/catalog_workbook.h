// The catalog as a workbook: one sheet listing every item by name, and the reading of the
// examples folder's catalog workbooks as standard catalog entries.
#pragma once

#include <filesystem>
#include <vector>

#include "store/database.h"
#include "store/standard_catalog.h"

namespace calcora {

// Writes every catalog item (ordered by name, byte order) to `path` in one step.
void write_catalog_workbook(Database& db, const std::filesystem::path& path);

// The positions of one catalog workbook as standard entries, read like an import but written
// nowhere. Matches CatalogWorkbookReader; throws CommandError when the file cannot be read.
std::vector<StandardEntry> catalog_workbook_entries(const std::filesystem::path& file);

}  // namespace calcora
