#include "exchange/catalog_import.h"

#include <algorithm>
#include <deque>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "common/time_stamp.h"
#include "store/unicode_lower.h"

namespace calcora {

namespace {

constexpr const char* kInsert =
    "INSERT INTO catalog_items (name, unit, default_price, line_type, category, sku, cost_price, created_at, "
    "updated_at) VALUES (?1, ?2, ?3, ?4, ?5, ?6, ?7, ?8, ?8)";
// A price list changes only what it gives a value for: a NULL bind keeps the stored field, so a
// price cell that does not read as a number, or a column the file lacks, loses nothing.
constexpr const char* kUpdate =
    "UPDATE catalog_items SET name = ?1, unit = COALESCE(?2, unit), default_price = COALESCE(?3, default_price), "
    "line_type = COALESCE(?4, line_type), category = COALESCE(?5, category), sku = COALESCE(?6, sku), "
    "cost_price = COALESCE(?7, cost_price), updated_at = ?8 WHERE id = ?9";

// The catalog's names (lower-cased) and SKUs held in memory for the lookups: a per-row query with
// lower() on both sides cannot use an index and makes a large import quadratic. The maps follow
// every insert and update, so each lookup sees what the statement-by-statement import would see.
// Keys are views: into the stored names and SKUs read at the start (kept here), and into the
// import's own lower-cased names and positions, which outlive the import's writing.
class CatalogKeys {
 public:
  CatalogKeys(Database& db, size_t incoming) {
    auto st = db.prepare("SELECT id, name, sku FROM catalog_items ORDER BY id");
    while (st.step()) {
      const std::string& lowered = stored_.emplace_back(unicode_lower(st.text(1)));
      std::optional<std::string_view> sku;
      if (auto text = st.opt_text(2)) sku = stored_.emplace_back(std::move(*text));
      add(st.int64(0), lowered, sku);
    }
    names_.reserve(names_.size() + incoming);
    skus_.reserve(skus_.size() + incoming);
    known_.reserve(known_.size() + incoming);
  }
  // The lowest id whose name matches ignoring letter case.
  std::optional<int64_t> by_name(std::string_view lowered) const {
    auto it = names_.find(lowered);
    if (it == names_.end() || it->second.empty()) return std::nullopt;
    return it->second.front();
  }
  std::optional<int64_t> by_sku(const std::optional<std::string>& sku) const {
    if (!sku || sku->empty()) return std::nullopt;
    auto it = skus_.find(*sku);
    return it == skus_.end() ? std::nullopt : std::optional(it->second);
  }
  void add(int64_t id, std::string_view lowered, std::optional<std::string_view> sku) {
    auto& ids = names_[lowered];
    ids.insert(std::lower_bound(ids.begin(), ids.end(), id), id);
    if (sku && !sku->empty()) skus_[*sku] = id;
    known_.emplace(id, Known{lowered, sku});
  }
  // An absent `sku` keeps the item's own, as the update does.
  void change(int64_t id, std::string_view lowered, std::optional<std::string_view> sku) {
    auto it = known_.find(id);
    if (it != known_.end()) {
      if (!sku) sku = it->second.sku;
      auto& ids = names_[it->second.lowered];
      ids.erase(std::remove(ids.begin(), ids.end(), id), ids.end());
      if (it->second.sku && !it->second.sku->empty()) {
        auto s = skus_.find(*it->second.sku);
        if (s != skus_.end() && s->second == id) skus_.erase(s);
      }
      known_.erase(it);
    }
    add(id, lowered, sku);
  }

 private:
  struct Known {
    std::string_view lowered;
    std::optional<std::string_view> sku;
  };
  std::deque<std::string> stored_;  // the stored items' lower-cased names and SKUs
  std::unordered_map<std::string_view, std::vector<int64_t>> names_;
  std::unordered_map<std::string_view, int64_t> skus_;
  std::unordered_map<int64_t, Known> known_;
};

std::optional<std::string_view> view_of(const std::optional<std::string>& text) {
  return text ? std::optional<std::string_view>(*text) : std::nullopt;
}

// Price-list rows with the same key (the SKU, else the name ignoring letter case): the later
// replaces the earlier, in the earlier one's place. Gives the positions' indexes.
std::vector<size_t> merge_duplicates(const std::vector<CatalogPosition>& positions,
                                     const std::vector<std::string>& lowered) {
  std::unordered_map<std::string_view, size_t> by_sku, by_name;
  by_name.reserve(positions.size());
  std::vector<size_t> merged;
  merged.reserve(positions.size());
  for (size_t i = 0; i < positions.size(); ++i) {
    const auto& sku = positions[i].sku;
    auto [it, fresh] = sku ? by_sku.emplace(*sku, merged.size()) : by_name.emplace(lowered[i], merged.size());
    if (fresh)
      merged.push_back(i);
    else
      merged[it->second] = i;
  }
  return merged;
}

// The full-text index follows the catalog through per-row triggers. For a large import it is
// several times faster to set them aside, write, rebuild the index once and put them back, all
// inside the import's transaction; the database ends exactly as the triggers would leave it.
class BulkIndexing {
 public:
  BulkIndexing(Database& db, bool active) : db_(db) {
    if (!active) return;
    auto st = db.prepare(
        "SELECT name, sql FROM sqlite_master WHERE type = 'trigger' AND tbl_name = 'catalog_items' AND sql IS NOT "
        "NULL");
    while (st.step()) triggers_.emplace_back(st.text(0), st.text(1));
    for (const auto& [name, sql] : triggers_) db.exec("DROP TRIGGER \"" + name + "\"");
  }
  void finish() {
    if (triggers_.empty()) return;
    db_.exec("INSERT INTO catalog_fts(catalog_fts) VALUES('rebuild')");
    for (const auto& [name, sql] : triggers_) db_.exec(sql);
  }

 private:
  Database& db_;
  std::vector<std::pair<std::string, std::string>> triggers_;
};

int64_t catalog_size(Database& db) {
  auto st = db.prepare("SELECT COUNT(*) FROM catalog_items");
  st.step();
  return st.int64(0);
}

// The rebuild reads the whole catalog, so it pays off only when the import is large against it.
bool worth_bulk_indexing(size_t positions, int64_t existing) {
  return positions >= 2000 && static_cast<int64_t>(positions) * 4 >= existing;
}

}  // namespace

CatalogImportCount write_catalog_table(Database& db, const CatalogTable& table) {
  CatalogImportCount count;
  count.skipped = table.skipped_rows;
  if (table.positions.empty()) return count;
  const std::string now = utc_now_stamp();

  // Each name lower-cased once, for the merging of duplicates and for the lookups.
  std::vector<std::string> lowered;
  lowered.reserve(table.positions.size());
  for (const auto& p : table.positions) lowered.push_back(unicode_lower(p.name));

  Transaction tx(db);
  CatalogKeys keys(db, table.positions.size());
  BulkIndexing indexing(db, worth_bulk_indexing(table.positions.size(), catalog_size(db)));
  Statement insert = db.prepare(kInsert);
  auto insert_position = [&](const CatalogPosition& p, std::string_view lowered_name) {
    insert.bind_all_borrowed(p.name, p.unit, p.default_price, p.line_type, p.category, p.sku, p.cost_price, now)
        .run();
    keys.add(db.last_insert_rowid(), lowered_name, view_of(p.sku));
  };

  if (table.layout == CatalogLayout::kPriceList) {
    Statement update = db.prepare(kUpdate);
    for (const size_t i : merge_duplicates(table.positions, lowered)) {
      const CatalogPosition* p = &table.positions[i];
      std::optional<int64_t> id = keys.by_sku(p->sku);
      if (!id) id = keys.by_name(lowered[i]);
      if (id) {
        auto read = [](bool given, const std::string& value) { return given ? std::optional(value) : std::nullopt; };
        update
            .bind_all_borrowed(p->name, p->unit, p->default_price, read(p->line_type_read, p->line_type),
                               read(p->category_read, p->category), p->sku, p->cost_price, now, *id)
            .run();
        keys.change(*id, lowered[i], view_of(p->sku));
      } else {
        insert_position(*p, lowered[i]);
      }
      ++count.loaded;
    }
  } else {
    for (size_t i = 0; i < table.positions.size(); ++i) {
      if (keys.by_name(lowered[i])) {
        ++count.skipped;
        continue;
      }
      insert_position(table.positions[i], lowered[i]);
      ++count.loaded;
    }
  }
  indexing.finish();
  tx.commit();
  return count;
}

CatalogImportCount import_catalog_file(Database& db, const std::filesystem::path& path) {
  return write_catalog_table(db, catalog_table_from_rows(read_catalog_rows(path)));
}

}  // namespace calcora
