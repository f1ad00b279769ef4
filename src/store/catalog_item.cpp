#include "store/catalog_item.h"

#include "store/database.h"

namespace calcora {

namespace {
constexpr const char* kColumnNames[] = {"id",       "name",        "unit",      "default_price", "line_type",
                                        "category", "usage_count", "last_used", "sku",           "cost_price"};
}  // namespace

std::string catalog_columns(const char* prefix) {
  std::string out;
  for (const char* column : kColumnNames) {
    if (!out.empty()) out += ", ";
    out += prefix;
    out += column;
  }
  return out;
}

CatalogItem read_catalog_item(const Statement& row) {
  CatalogItem item;
  item.id = row.int64(0);
  item.name = row.text(1);
  item.unit = row.opt_text(2);
  item.default_price = row.opt_real(3);
  item.line_type = row.text(4);
  item.category = row.text(5);
  item.usage_count = static_cast<int32_t>(row.int64(6));
  item.last_used = row.opt_text(7);
  item.sku = row.opt_text(8);
  item.cost_price = row.opt_real(9);
  return item;
}

CatalogItem load_catalog_item(Database& db, int64_t id) {
  auto& st = db.cached("SELECT " + catalog_columns() + " FROM catalog_items WHERE id = ?1");
  st.bind(1, id);
  if (!st.step()) throw DbError(kNoRowsMessage);
  CatalogItem item = read_catalog_item(st);
  st.reset();
  return item;
}

Json to_json(const CatalogItem& item) {
  Json out = Json::object();
  out["id"] = to_json_or_null(item.id);
  out["name"] = item.name;
  out["unit"] = to_json_or_null(item.unit);
  out["default_price"] = to_json_or_null(item.default_price);
  out["line_type"] = item.line_type;
  out["category"] = item.category;
  out["usage_count"] = item.usage_count;
  out["last_used"] = to_json_or_null(item.last_used);
  out["sku"] = to_json_or_null(item.sku);
  out["cost_price"] = to_json_or_null(item.cost_price);
  return out;
}

template <>
CatalogItem decode_value<CatalogItem>(const Json& value) {
  RecordReader r(value);
  CatalogItem item;
  item.id = r.optional<int64_t>("id");
  item.name = r.required<std::string>("name");
  item.unit = r.optional<std::string>("unit");
  item.default_price = r.optional<double>("default_price");
  item.line_type = r.with_default<std::string>("line_type", "full");
  item.category = r.required<std::string>("category");
  item.usage_count = r.with_default<int32_t>("usage_count", 0);
  item.last_used = r.optional<std::string>("last_used");
  item.sku = r.optional<std::string>("sku");
  item.cost_price = r.optional<double>("cost_price");
  return item;
}

}  // namespace calcora
