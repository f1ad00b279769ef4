// One position of the price catalog, which is also the name memory: the record the page
// sends and receives, and how it is read from a row of catalog_items.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "commands/decode.h"
#include "commands/json.h"

namespace calcora {

class Database;
class Statement;

struct CatalogItem {
  std::optional<int64_t> id;  // null for an item not stored yet
  std::string name;
  std::optional<std::string> unit;
  std::optional<double> default_price;  // unit price of a "full" item, the amount of a "fixed" one
  std::string line_type = "full";       // "full", "fixed" or "quantity_only"
  std::string category;                 // "work", "material" or "equipment"
  int32_t usage_count = 0;
  std::optional<std::string> last_used;
  std::optional<std::string> sku;  // article number, unique when not empty
  std::optional<double> cost_price;
};

// The columns every catalog read selects, in the record's order; `prefix` qualifies
// them ("c.") when the query joins another table.
std::string catalog_columns(const char* prefix = "");

// The item in the current row of a statement that selected catalog_columns() first.
CatalogItem read_catalog_item(const Statement& row);

// The item with this id; throws DbError("Query returned no rows") when there is none.
CatalogItem load_catalog_item(Database& db, int64_t id);

Json to_json(const CatalogItem& item);

template <>
CatalogItem decode_value<CatalogItem>(const Json& value);

}  // namespace calcora
