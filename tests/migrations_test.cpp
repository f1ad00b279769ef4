// Schema creation and the upgrade steps from older files.
#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

#include "store/app_kv.h"
#include "store/database.h"
#include "store/migrations.h"
#include "test_support.h"

namespace calcora {
namespace {

std::vector<std::string> columns(Database& db, const std::string& table) {
  std::vector<std::string> out;
  auto st = db.prepare("PRAGMA table_info(" + table + ")");
  while (st.step()) out.push_back(st.text(1));
  return out;
}

std::set<std::string> schema_names(Database& db, const std::string& type) {
  std::set<std::string> out;
  auto st = db.prepare("SELECT name FROM sqlite_master WHERE type = ?1 AND name NOT LIKE 'sqlite_%'");
  st.bind(1, type);
  while (st.step()) out.insert(st.text(0));
  return out;
}

int64_t scalar(Database& db, const std::string& sql) {
  auto st = db.prepare(sql);
  EXPECT_TRUE(st.step());
  return st.int64(0);
}

TEST(Migrations, NewFileGetsTheFullSchema) {
  test::TempDir dir;
  auto db = Database::open(dir / "nested" / "calcora.db");
  EXPECT_EQ(db->user_version(), kSchemaVersion);
  auto tables = schema_names(*db, "table");
  for (const char* t : {"estimates", "estimate_lines", "estimate_footers", "catalog_items", "app_kv", "catalog_fts"})
    EXPECT_TRUE(tables.count(t)) << t;
  EXPECT_EQ(schema_names(*db, "trigger"), (std::set<std::string>{"catalog_ai", "catalog_ad", "catalog_au"}));
  auto indexes = schema_names(*db, "index");
  for (const char* i : {"idx_estimate_lines_estimate", "idx_catalog_name", "idx_catalog_sku"})
    EXPECT_TRUE(indexes.count(i)) << i;

  auto lines = columns(*db, "estimate_lines");
  ASSERT_GE(lines.size(), 2u);
  EXPECT_EQ(lines[lines.size() - 2], "catalog_item_id");
  EXPECT_EQ(lines.back(), "name_bold");
  auto footer = columns(*db, "estimate_footers");
  EXPECT_EQ(footer[footer.size() - 2], "markup_formula");
  EXPECT_EQ(footer.back(), "extras_json");
}

TEST(Migrations, VersionFourLosesTitleAndKeepsRows) {
  test::TempDir dir;
  test::build_fixture_db(dir / "calcora.db", "v4");
  auto db = Database::open(dir / "calcora.db");
  EXPECT_EQ(db->user_version(), kSchemaVersion);
  auto cols = columns(*db, "estimates");
  EXPECT_EQ(std::count(cols.begin(), cols.end(), "title"), 0);
  EXPECT_EQ(scalar(*db, "SELECT COUNT(*) FROM estimates"), 2);
  EXPECT_EQ(scalar(*db, "SELECT COUNT(*) FROM estimate_lines WHERE estimate_id = 1"), 1);
  EXPECT_EQ(scalar(*db, "SELECT COUNT(*) FROM estimates WHERE mode = 'simple'"), 2);
}

TEST(Migrations, VersionSixTakesCategoryFromCatalogIgnoringCase) {
  test::TempDir dir;
  test::build_fixture_db(dir / "calcora.db", "v6");
  auto db = Database::open(dir / "calcora.db");
  auto st = db->prepare("SELECT name, category FROM estimate_lines ORDER BY sort_order");
  std::vector<std::pair<std::string, std::string>> got;
  while (st.step()) got.emplace_back(st.text(0), st.text(1));
  std::vector<std::pair<std::string, std::string>> want = {{"цемент м500", "material"},
                                                           {"БЕТОНОМЕШАЛКА", "equipment"},
                                                           {"drywall sheet", "material"},
                                                           {"Штукатурка стен", "work"}};
  EXPECT_EQ(got, want);
}

TEST(Migrations, NewerFileIsLeftUnchanged) {
  test::TempDir dir;
  test::build_fixture_db(dir / "calcora.db", "v12");
  auto db = Database::open(dir / "calcora.db");
  EXPECT_EQ(db->user_version(), 12);
  EXPECT_EQ(schema_names(*db, "table"), (std::set<std::string>{"future_things"}));
}

TEST(Migrations, DirectoryInPlaceOfFileFails) {
  test::TempDir dir;
  std::filesystem::create_directories(dir / "calcora.db");
  EXPECT_THROW(Database::open(dir / "calcora.db"), DbError);
}

TEST(Schema, ConstraintsHold) {
  test::TempDir dir;
  auto db = Database::open(dir / "calcora.db");
  // Article numbers: unique when non-empty; empty or missing may repeat.
  db->exec("INSERT INTO catalog_items (name, sku) VALUES ('a', 'A-1'), ('b', ''), ('c', ''), ('d', NULL), ('e', NULL)");
  try {
    db->exec("INSERT INTO catalog_items (name, sku) VALUES ('f', 'A-1')");
    FAIL() << "duplicate article number accepted";
  } catch (const DbError& e) {
    EXPECT_STREQ(e.what(), "UNIQUE constraint failed: catalog_items.sku");
  }
  // Deleting an estimate takes its lines and footer along.
  db->exec(
      "INSERT INTO estimates (id, object_name, created_at, updated_at) VALUES (1, 'x', 't', 't');"
      "INSERT INTO estimate_lines (estimate_id, name, catalog_item_id) VALUES (1, 'l', 1);"
      "INSERT INTO estimate_footers (estimate_id) VALUES (1);");
  try {
    db->exec("DELETE FROM catalog_items WHERE id = 1");
    FAIL() << "linked catalog item deleted";
  } catch (const DbError& e) {
    EXPECT_STREQ(e.what(), "FOREIGN KEY constraint failed");
  }
  db->exec("DELETE FROM estimates WHERE id = 1");
  EXPECT_EQ(scalar(*db, "SELECT COUNT(*) FROM estimate_lines"), 0);
  EXPECT_EQ(scalar(*db, "SELECT COUNT(*) FROM estimate_footers"), 0);
  // The full-text index follows renames.
  db->exec("UPDATE catalog_items SET name = 'Штукатурка' WHERE name = 'b'");
  EXPECT_EQ(scalar(*db, "SELECT COUNT(*) FROM catalog_fts WHERE catalog_fts MATCH 'штукатурка'"), 1);
  EXPECT_EQ(scalar(*db, "SELECT COUNT(*) FROM catalog_fts WHERE catalog_fts MATCH 'b'"), 0);
}

TEST(Schema, UnicodeLowerAndKeyValueStore) {
  test::TempDir dir;
  auto db = Database::open(dir / "calcora.db");
  auto st = db->prepare("SELECT lower(?1)");
  const std::vector<std::pair<std::string, std::string>> cases = {
      {"ЦЕМЕНТ Ёлка", "цемент ёлка"}, {"ΟΔΟΣ", "\u03bf\u03b4\u03bf\u03c2"}, {"ABC-1", "abc-1"}, {"İ", "i̇"}};
  for (const auto& [in, out] : cases) {
    st.bind(1, in);
    ASSERT_TRUE(st.step());
    EXPECT_EQ(st.text(0), out) << in;
    st.reset();
  }
  EXPECT_EQ(kv_get(*db, "missing"), std::nullopt);
  kv_set(*db, "k", "one");
  kv_set(*db, "k", "two");
  EXPECT_EQ(kv_get(*db, "k"), "two");
  kv_delete(*db, "k");
  kv_delete(*db, "k");
  EXPECT_EQ(kv_get(*db, "k"), std::nullopt);
}

}  // namespace
}  // namespace calcora
