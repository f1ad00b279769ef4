#include "store/catalog_store.h"

#include "commands/json_text.h"
#include "common/time_stamp.h"
#include "store/catalog_text.h"
#include "store/database.h"
#include "store/unicode_lower.h"

namespace calcora {

namespace {

constexpr int kFilteredLimit = 50;

// One row of catalog_columns() as the record to_json(CatalogItem) writes, straight from the
// statement's columns.
void write_catalog_row(const Statement& row, JsonTextWriter& out) {
  out.raw("{\"id\":").integer(row.int64(0));
  out.raw(",\"name\":").string(row.text_view(1));
  out.raw(",\"unit\":");
  row.is_null(2) ? out.null() : out.string(row.text_view(2));
  out.raw(",\"default_price\":");
  row.is_null(3) ? out.null() : out.real(row.real(3));
  out.raw(",\"line_type\":").string(row.text_view(4));
  out.raw(",\"category\":").string(row.text_view(5));
  out.raw(",\"usage_count\":").integer(static_cast<int32_t>(row.int64(6)));
  out.raw(",\"last_used\":");
  row.is_null(7) ? out.null() : out.string(row.text_view(7));
  out.raw(",\"sku\":");
  row.is_null(8) ? out.null() : out.string(row.text_view(8));
  out.raw(",\"cost_price\":");
  row.is_null(9) ? out.null() : out.real(row.real(9));
  out.raw("}");
}

}  // namespace

std::string list_catalog_json(Database& db, std::optional<std::string_view> query) {
  const std::string q = fold_yo(unicode_lower(trim_space(query.value_or(std::string_view()))));
  Statement* st;
  if (q.empty()) {
    st = &db.cached("SELECT " + catalog_columns() + " FROM catalog_items ORDER BY name");
  } else {
    // The query is deliberately not escaped: users type "%" and "_" as wildcards. Both sides
    // have ё read as е.
    st = &db.cached("SELECT " + catalog_columns() +
                    " FROM catalog_items WHERE replace(lower(name), 'ё', 'е') LIKE ?1 ORDER BY name LIMIT " +
                    std::to_string(kFilteredLimit));
    st->bind(1, "%" + q + "%");
  }
  std::string text = "[";
  JsonTextWriter out(text);
  for (bool first = true; st->step(); first = false) {
    if (!first) out.raw(",");
    write_catalog_row(*st, out);
  }
  text += ']';
  return text;
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
