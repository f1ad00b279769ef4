// The price catalog's operations on an open connection: listing with a filter, saving
// an item as sent, deleting one while keeping the estimate lines made from it.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "store/catalog_item.h"

namespace calcora {

class Database;

// Items whose name contains the query ignoring letter case in every alphabet, by name,
// at most 50; a blank or missing query gives the whole catalog. "%" and "_" in the query
// act as wildcards. The answer is the JSON array of the items' records (as to_json writes
// each), written row by row: the whole catalog is 100,000 records and more.
std::string list_catalog_json(Database& db, std::optional<std::string_view> query);

// Inserts an item without id or updates the one with its id (usage figures are kept).
// Returns the item as sent, with the new id for an insert.
CatalogItem save_catalog_item(Database& db, CatalogItem item);

// Deletes the item; estimate lines made from it keep their data and lose the link.
void delete_catalog_item(Database& db, int64_t id);

}  // namespace calcora
