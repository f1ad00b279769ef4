#include "store/seed.h"

#include "store/database.h"
#include "store/memory_store.h"

namespace calcora {

void seed_catalog(Database& db, const std::filesystem::path& examples_dir, CatalogWorkbookReader reader) {
  const auto entries = combine_standard_entries(load_standard_entries(examples_dir, reader));
  Transaction tx(db);
  // Seeding runs only on an empty catalog; clearing first also drops any line link that
  // could still point at a vanished item.
  db.exec("UPDATE estimate_lines SET catalog_item_id = NULL");
  db.exec("DELETE FROM catalog_items");
  for (const auto& entry : entries) insert_standard_entry(db, entry);
  tx.commit();
}

}  // namespace calcora
