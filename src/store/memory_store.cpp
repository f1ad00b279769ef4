#include "store/memory_store.h"

#include <unordered_set>

#include "calc/category.h"
#include "common/errors.h"
#include "common/time_stamp.h"
#include "store/catalog_text.h"
#include "store/database.h"
#include "store/unicode_lower.h"

namespace calcora {

namespace {

constexpr const char* kInsertStandardEntry =
    "INSERT INTO catalog_items (name, unit, default_price, line_type, category) VALUES (?1, ?2, ?3, ?4, ?5)";

// A quoted prefix term; a double quote inside the word is doubled, the phrase syntax's
// own escape, so a typed quote is searched for instead of breaking the query.
std::string prefix_term(std::string_view word) {
  std::string term = "\"";
  for (char c : word) {
    if (c == '"') term += '"';
    term += c;
  }
  term += "\"*";
  return term;
}

}  // namespace

std::optional<std::string> memory_match_expression(std::string_view query) {
  const std::string_view q = trim_space(query);
  // One Latin letter suggests half the catalog; one Cyrillic letter (two bytes) is allowed.
  if (q.size() < 2) return std::nullopt;
  std::string expression;
  for (auto word : split_space(q)) {
    if (!expression.empty()) expression += " AND ";
    expression += prefix_term(word);
  }
  return expression;
}

std::vector<CatalogItem> search_memory(Database& db, const std::string& match_expression) {
  auto& st = db.cached("SELECT " + catalog_columns("c.") +
                       " FROM catalog_fts f JOIN catalog_items c ON c.id = f.rowid WHERE catalog_fts MATCH ?1"
                       " ORDER BY bm25(catalog_fts), c.usage_count DESC LIMIT ?2");
  st.bind_all(match_expression, kMemorySuggestionLimit);
  std::vector<CatalogItem> items;
  while (st.step()) items.push_back(read_catalog_item(st));
  return items;
}

CatalogItem save_to_global_memory(Database& db, const MemoryUse& use) {
  const std::string name(trim_space(use.name));
  if (name.empty()) throw CommandError(kEmptyMemoryNameMessage);
  const std::string line_type = use.line_type.value_or("full");
  std::string category(use.category ? trim_space(*use.category) : std::string_view());
  if (category.empty()) category = guess_category(name);
  const std::string now = utc_now_stamp();

  auto& find = db.cached("SELECT id FROM catalog_items WHERE lower(name) = lower(?1) ORDER BY id LIMIT 1");
  find.bind(1, name);
  std::optional<int64_t> id;
  if (find.step()) id = find.int64(0);
  find.reset();

  if (id && use.update_price) {
    // The stored spelling of the name stays: the user may have typed it in other letter case.
    db.cached(
          "UPDATE catalog_items SET unit = ?1, default_price = ?2, line_type = ?3, category = ?4, "
          "usage_count = usage_count + 1, last_used = ?5, updated_at = ?5 WHERE id = ?6")
        .bind_all(use.unit, use.price, line_type, category, now, *id)
        .run();
  } else if (id) {
    db.cached("UPDATE catalog_items SET usage_count = usage_count + 1, last_used = ?1, updated_at = ?1 WHERE id = ?2")
        .bind_all(now, *id)
        .run();
  } else {
    db.cached(
          "INSERT INTO catalog_items (name, unit, default_price, line_type, category, usage_count, last_used, "
          "created_at, updated_at) VALUES (?1, ?2, ?3, ?4, ?5, 1, ?6, ?6, ?6)")
        .bind_all(name, use.unit, use.price, line_type, category, now)
        .run();
    id = db.last_insert_rowid();
  }
  return load_catalog_item(db, *id);
}

void insert_standard_entry(Database& db, const StandardEntry& e) {
  db.cached(kInsertStandardEntry).bind_all(e.name, e.unit, e.price, e.line_type, e.category).run();
}

int merge_standard_catalog(Database& db, const std::filesystem::path& examples_dir, CatalogWorkbookReader reader) {
  const auto entries = combine_standard_entries(load_standard_entries(examples_dir, reader));
  if (entries.empty()) return 0;
  Transaction tx(db);
  // The catalog's names are lower-cased once rather than scanned once per entry: a large
  // catalog would otherwise cost a full scan for each of the standard entries.
  std::unordered_set<std::string> present;
  auto& names = db.cached("SELECT lower(name) FROM catalog_items");
  while (names.step()) present.insert(names.text(0));
  int added = 0;
  for (const auto& entry : entries) {
    if (!present.insert(unicode_lower(entry.name)).second) continue;
    insert_standard_entry(db, entry);
    ++added;
  }
  tx.commit();
  return added;
}

}  // namespace calcora
