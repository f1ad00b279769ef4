#include "store/memory_store.h"

#include <algorithm>
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

// The text as one quoted phrase; a double quote inside is doubled, the phrase syntax's own
// escape, so a typed quote is searched for instead of breaking the query.
std::string quoted_phrase(std::string_view text) {
  std::string phrase = "\"";
  for (char c : text) {
    if (c == '"') phrase += '"';
    phrase += c;
  }
  phrase += '"';
  return phrase;
}

std::string prefix_term(std::string_view word) { return quoted_phrase(word) + "*"; }

// The word's term, or its spellings with е and ё read both ways as alternatives. A spelling
// that no name has adds nothing to a name's rank, so names written as typed rank as before.
std::string word_terms(std::string_view word) {
  const auto spellings = ye_spellings(word);
  if (spellings.size() == 1) return prefix_term(spellings.front());
  std::string terms = "(";
  for (const auto& spelling : spellings) {
    if (terms.size() > 1) terms += " OR ";
    terms += prefix_term(spelling);
  }
  return terms + ")";
}

// How many names hold a run of words, counted up to this cap: enough to tell a rare run from a
// common one without reading a common word's whole list.
constexpr int kRunCountCap = 256;

// The two runs of the name's words that the fewest names hold, as a match expression; nothing
// when some run is in no name at all (then no name can equal this one).
std::optional<std::string> rarest_runs(Database& db, std::string_view name) {
  auto& probe = db.cached("SELECT count(*) FROM (SELECT 1 FROM catalog_fts WHERE catalog_fts MATCH ?1 LIMIT ?2)");
  std::vector<std::pair<int64_t, std::string>> counted;
  for (auto run : index_word_runs(name)) {
    std::string phrase = quoted_phrase(run);
    probe.bind_all(phrase, kRunCountCap);
    probe.step();
    const int64_t n = probe.int64(0);
    probe.reset();
    if (n == 0) return std::nullopt;
    counted.emplace_back(n, std::move(phrase));
  }
  std::stable_sort(counted.begin(), counted.end(), [](const auto& a, const auto& b) { return a.first < b.first; });
  std::string expression = counted.at(0).second;
  if (counted.size() > 1) expression += " AND " + counted[1].second;
  return expression;
}

// The earliest item whose name is one of the spellings made of these code points, each in any of
// its given case forms. The spellings are grown code point by code point along the name index,
// each beside the first stored name that starts with it: that name already shows which form
// follows and that no smaller form does, so only a larger form asks the index again. A catalog
// seldom holds more than one or two spellings of a name, so this costs a few index seeks.
std::optional<int64_t> find_spelling(Database& db, const std::vector<std::vector<std::string>>& code_points) {
  auto& seek = db.cached("SELECT name FROM catalog_items WHERE name >= ?1 ORDER BY name LIMIT 1");
  struct Branch {
    std::string prefix;
    std::string first_name;  // the first stored name (in the index's order) that starts with the prefix
  };
  auto branch_at = [&](std::string prefix) -> std::optional<Branch> {
    seek.bind(1, prefix);
    std::optional<Branch> found;
    if (seek.step()) {
      std::string name = seek.text(0);
      if (name.starts_with(prefix)) found = Branch{std::move(prefix), std::move(name)};
    }
    seek.reset();
    return found;
  };
  std::vector<Branch> branches;
  if (auto all = branch_at("")) branches.push_back(std::move(*all));
  for (const auto& forms : code_points) {
    std::vector<Branch> longer;
    for (const auto& branch : branches) {
      const std::string_view rest = std::string_view(branch.first_name).substr(branch.prefix.size());
      for (const auto& form : forms) {
        if (rest.starts_with(form))
          longer.push_back(Branch{branch.prefix + form, branch.first_name});
        else if (rest.empty() || rest < std::string_view(form))  // names with a smaller form would come first
          if (auto found = branch_at(branch.prefix + form)) longer.push_back(std::move(*found));
      }
    }
    if (longer.empty()) return std::nullopt;
    branches = std::move(longer);
  }
  auto& exact = db.cached("SELECT min(id) FROM catalog_items WHERE name = ?1");
  std::optional<int64_t> earliest;
  for (const auto& branch : branches) {
    if (branch.first_name != branch.prefix) continue;  // only longer names start with this spelling
    exact.bind(1, branch.prefix);
    if (exact.step() && (!earliest || exact.int64(0) < *earliest)) earliest = exact.int64(0);
    exact.reset();
  }
  return earliest;
}

// The earliest item whose name equals `name` ignoring letter case, by the SQL lower() (ICU's
// full rules: İ, final sigma). Comparing every name costs a scan of the whole catalog, and this
// runs each time the user leaves a line. Names in Latin and Cyrillic letters are looked up by
// their spellings in the name index. Elsewhere, wherever the full-text index reads words as
// lower() does, every equal name holds each run of this name's words, so the names holding its
// two rarest runs are the only ones to compare.
std::optional<int64_t> find_name_ignoring_case(Database& db, const std::string& name) {
  if (const auto code_points = case_spellings_per_code_point(name)) return find_spelling(db, *code_points);
  if (!index_reads_like_lowercase(unicode_lower(name))) {
    auto& scan = db.cached("SELECT id FROM catalog_items WHERE lower(name) = lower(?1) ORDER BY id LIMIT 1");
    scan.bind(1, name);
    std::optional<int64_t> id;
    if (scan.step()) id = scan.int64(0);
    scan.reset();
    return id;
  }
  const auto runs = rarest_runs(db, name);
  if (!runs) return std::nullopt;
  // CROSS JOIN keeps the index's matches as the outer loop: for the order by id alone the
  // planner would rather walk the whole table.
  auto& find = db.cached(
      "SELECT c.id FROM catalog_fts f CROSS JOIN catalog_items c ON c.id = f.rowid "
      "WHERE catalog_fts MATCH ?2 AND lower(c.name) = lower(?1) ORDER BY c.id LIMIT 1");
  find.bind_all(name, *runs);
  std::optional<int64_t> id;
  if (find.step()) id = find.int64(0);
  find.reset();
  return id;
}

}  // namespace

std::optional<std::string> memory_match_expression(std::string_view query) {
  const std::string_view q = trim_space(query);
  // One Latin letter suggests half the catalog; one Cyrillic letter (two bytes) is allowed.
  if (q.size() < 2) return std::nullopt;
  std::string expression;
  for (auto word : split_space(q)) {
    if (!expression.empty()) expression += " AND ";
    expression += word_terms(word);
  }
  return expression;
}

std::vector<CatalogItem> search_memory(Database& db, const std::string& match_expression) {
  // memory_rank is bm25 with each name's word count joined in from the index's size table: the
  // index itself would look each count up with a query of its own, which cost most of the time
  // for a short prefix that thousands of names hold. Equal scores keep the index's order (by id).
  auto& st = db.cached("SELECT " + catalog_columns("c.") +
                       " FROM catalog_fts f LEFT JOIN catalog_fts_docsize s ON s.id = f.rowid"
                       " JOIN catalog_items c ON c.id = f.rowid WHERE catalog_fts MATCH ?1"
                       " ORDER BY memory_rank(catalog_fts, s.sz), c.usage_count DESC, c.id LIMIT ?2");
  st.bind_all(match_expression, kMemorySuggestionLimit);
  std::vector<CatalogItem> items;
  while (st.step()) items.push_back(read_catalog_item(st));
  return items;
}

namespace {

// One use counted or one name added; the caller holds the transaction.
int64_t count_memory_use(Database& db, const MemoryUse& use) {
  const std::string name(trim_space(use.name));
  if (name.empty()) throw CommandError(kEmptyMemoryNameMessage);
  const std::string line_type = use.line_type.value_or("full");
  std::string category(use.category ? trim_space(*use.category) : std::string_view());
  if (category.empty()) category = guess_category(name);
  const std::string now = utc_now_stamp();
  std::optional<int64_t> id = find_name_ignoring_case(db, name);

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
  return *id;
}

}  // namespace

CatalogItem save_to_global_memory(Database& db, const MemoryUse& use) {
  // One transaction for the look-up, the write and the read-back: each statement on its own
  // would take and drop the file's lock and check for a journal left by a crash, which cost more
  // than the index seeks of the look-up itself.
  Transaction tx(db, Transaction::Writes::immediately);
  CatalogItem saved = load_catalog_item(db, count_memory_use(db, use));
  tx.commit();
  return saved;
}

std::vector<int64_t> save_many_to_global_memory(Database& db, const std::vector<MemoryUse>& uses) {
  Transaction tx(db, Transaction::Writes::immediately);
  std::vector<int64_t> ids;
  ids.reserve(uses.size());
  for (const MemoryUse& use : uses) ids.push_back(count_memory_use(db, use));
  tx.commit();
  return ids;
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
