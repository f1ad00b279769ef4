#include "app/startup.h"

#include <iostream>

#include "app/fault.h"
#include "app/paths.h"
#include "common/product.h"
#include "exchange/catalog_workbook.h"
#include "store/seed.h"

namespace calcora {

std::unique_ptr<AppState> set_up_app_state(const std::filesystem::path& data_dir) {
  const auto db_path = data_dir / kDatabaseFileName;
  std::unique_ptr<Database> db;
  try {
    db = Database::open(db_path);
  } catch (const std::exception& e) {
    raise_fault(std::string("база данных: ") + e.what());
  }
  const auto examples_dir = resolve_examples_dir();
  try {
    auto count = db->prepare("SELECT COUNT(*) FROM catalog_items");
    count.step();
    if (count.int64(0) < 1) seed_catalog(*db, examples_dir, catalog_workbook_entries);
  } catch (const std::exception& e) {
    std::cerr << "catalog seed warning: " << e.what() << std::endl;
  }
  return std::make_unique<AppState>(db_path, std::move(db), examples_dir);
}

}  // namespace calcora
