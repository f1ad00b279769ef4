// The examples folder's catalog workbooks are read with the catalog import's own reader, so a
// price list dropped there is understood exactly as an imported one would be.
#include "exchange/catalog_workbook.h"
#include "store/standard_catalog.h"

namespace calcora {

std::vector<StandardEntry> read_catalog_workbook_entries(const std::filesystem::path& file) {
  return catalog_workbook_entries(file);
}

}  // namespace calcora
