// The name memory: suggestions while a line name is typed, counting the uses of names
// saved in estimates, and adding the standard catalog's entries that the user lacks.
#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "store/catalog_item.h"
#include "store/standard_catalog.h"

namespace calcora {

class Database;

inline constexpr const char* kEmptyMemoryNameMessage = "Invalid parameter name: empty name";
inline constexpr int kMemorySuggestionLimit = 5;

// The full-text match for a typed query: every word must begin some word of the name.
// Nothing when the query is too short to suggest anything (under two bytes once trimmed).
std::optional<std::string> memory_match_expression(std::string_view query);

// Up to five items for a match expression, best match first, then the most used.
std::vector<CatalogItem> search_memory(Database& db, const std::string& match_expression);

// One use of a name in an estimate, as the page reports it.
struct MemoryUse {
  std::string name;
  std::optional<std::string> unit;
  std::optional<double> price;
  std::optional<std::string> line_type;  // null: "full"
  std::optional<std::string> category;   // null or blank: guessed from the name
  bool update_price = false;             // also overwrite unit, price, type and category of a known name
};

// Counts one use of a known name (ignoring letter case) or adds the name as a new item;
// returns the item as stored. Throws CommandError for a blank name.
CatalogItem save_to_global_memory(Database& db, const MemoryUse& use);

// The uses of a saved estimate's lines, in order, in one transaction: the ids of their items.
// One failing use (a blank name) registers none.
std::vector<int64_t> save_many_to_global_memory(Database& db, const std::vector<MemoryUse>& uses);

// Adds the standard entries whose names the catalog lacks; returns how many were added.
int merge_standard_catalog(Database& db, const std::filesystem::path& examples_dir, CatalogWorkbookReader reader);

// Inserts one standard entry as a new catalog item; usage figures and time stamps take
// the table's defaults. The caller holds the transaction.
void insert_standard_entry(Database& db, const StandardEntry& entry);

}  // namespace calcora
