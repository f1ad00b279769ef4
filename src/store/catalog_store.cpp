#include "store/catalog_store.h"

#include "common/time_stamp.h"
#include "store/catalog_text.h"
#include "store/database.h"
#include "store/unicode_lower.h"

namespace calcora {

namespace {
constexpr int kFilteredLimit = 50;
}  // namespace

std::vector<CatalogItem> list_catalog_items(Database& db, std::optional<std::string_view> query) {
  const std::string q = fold_yo(unicode_lower(trim_space(query.value_or(std::string_view()))));
  std::vector<CatalogItem> items;
  if (q.empty()) {
    auto& st = db.cached("SELECT " + catalog_columns() + " FROM catalog_items ORDER BY name");
    while (st.step()) items.push_back(read_catalog_item(st));
    return items;
  }
  // The query is deliberately not escaped: users type "%" and "_" as wildcards. Both sides
  // have ё read as е.
  auto& st = db.cached("SELECT " + catalog_columns() +
                       " FROM catalog_items WHERE replace(lower(name), 'ё', 'е') LIKE ?1 ORDER BY name LIMIT " +
                       std::to_string(kFilteredLimit));
  st.bind(1, "%" + q + "%");
  while (st.step()) items.push_back(read_catalog_item(st));
  return items;
}

CatalogItem save_catalog_item(Database& db, CatalogItem item) {
  const std::string now = utc_now_stamp();
  if (!item.id) {
    db.cached(
          "INSERT INTO catalog_items (name, unit, default_price, line_type, category, sku, cost_price, created_at, "
          "updated_at) VALUES (?1, ?2, ?3, ?4, ?5, ?6, ?7, ?8, ?8)")
        .bind_all(item.name, item.unit, item.default_price, item.line_type, item.category, item.sku, item.cost_price,
                  now)
        .run();
    item.id = db.last_insert_rowid();
    return item;
  }
  // Usage figures belong to the name memory; an edit on the catalog screen must not reset them.
  db.cached(
        "UPDATE catalog_items SET name = ?1, unit = ?2, default_price = ?3, line_type = ?4, category = ?5, sku = ?6, "
        "cost_price = ?7, updated_at = ?8 WHERE id = ?9")
      .bind_all(item.name, item.unit, item.default_price, item.line_type, item.category, item.sku, item.cost_price, now,
                *item.id)
      .run();
  return item;
}

void delete_catalog_item(Database& db, int64_t id) {
  // The lines' link has no delete action, so it is cleared first; one transaction, so a
  // failed delete does not leave the lines unlinked from an item that still exists.
  Transaction tx(db);
  db.cached("UPDATE estimate_lines SET catalog_item_id = NULL WHERE catalog_item_id = ?1").bind(1, id).run();
  db.cached("DELETE FROM catalog_items WHERE id = ?1").bind(1, id).run();
  tx.commit();
}

}  // namespace calcora
