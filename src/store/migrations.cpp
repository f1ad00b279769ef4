#include "store/migrations.h"

#include <string>

#include "store/database.h"

namespace calcora {

namespace {

// The creation script of step 1. Released steps are never edited: columns added later
// come from their own steps, so old files and new files end with the same schema.
constexpr const char* kCreateScript = R"sql(
CREATE TABLE IF NOT EXISTS estimates (
  id INTEGER PRIMARY KEY AUTOINCREMENT,
  object_name TEXT NOT NULL DEFAULT '',
  created_at TEXT NOT NULL,
  updated_at TEXT NOT NULL,
  mode TEXT NOT NULL DEFAULT 'simple',
  mode_mask_json TEXT,
  calc_params_json TEXT,
  kp_json TEXT
);
CREATE TABLE IF NOT EXISTS estimate_lines (
  id INTEGER PRIMARY KEY AUTOINCREMENT,
  estimate_id INTEGER NOT NULL REFERENCES estimates(id) ON DELETE CASCADE,
  sort_order INTEGER NOT NULL DEFAULT 0,
  line_type TEXT NOT NULL DEFAULT 'full',
  name TEXT NOT NULL DEFAULT '',
  unit TEXT,
  quantity REAL,
  unit_price REAL,
  fixed_total REAL,
  category TEXT NOT NULL DEFAULT 'work',
  format_json TEXT,
  sku TEXT,
  cost_price REAL,
  formula TEXT
);
CREATE TABLE IF NOT EXISTS estimate_footers (
  estimate_id INTEGER PRIMARY KEY REFERENCES estimates(id) ON DELETE CASCADE,
  materials REAL NOT NULL DEFAULT 0,
  delivery REAL NOT NULL DEFAULT 0,
  advance REAL NOT NULL DEFAULT 0,
  show_materials INTEGER NOT NULL DEFAULT 0,
  show_delivery INTEGER NOT NULL DEFAULT 0,
  show_advance INTEGER NOT NULL DEFAULT 0
);
CREATE TABLE IF NOT EXISTS catalog_items (
  id INTEGER PRIMARY KEY AUTOINCREMENT,
  name TEXT NOT NULL,
  unit TEXT,
  default_price REAL,
  line_type TEXT NOT NULL DEFAULT 'full',
  category TEXT NOT NULL DEFAULT 'work',
  usage_count INTEGER NOT NULL DEFAULT 0,
  last_used TEXT,
  sku TEXT,
  cost_price REAL,
  created_at TEXT NOT NULL DEFAULT (datetime('now')),
  updated_at TEXT NOT NULL DEFAULT (datetime('now'))
);
CREATE INDEX IF NOT EXISTS idx_estimate_lines_estimate ON estimate_lines(estimate_id, sort_order);
CREATE INDEX IF NOT EXISTS idx_catalog_name ON catalog_items(name);
CREATE UNIQUE INDEX IF NOT EXISTS idx_catalog_sku ON catalog_items(sku) WHERE sku IS NOT NULL AND sku != '';
)sql";

constexpr const char* kFullTextScript = R"sql(
CREATE VIRTUAL TABLE IF NOT EXISTS catalog_fts USING fts5(
  name, content='catalog_items', content_rowid='id', tokenize='unicode61'
);
CREATE TRIGGER IF NOT EXISTS catalog_ai AFTER INSERT ON catalog_items BEGIN
  INSERT INTO catalog_fts(rowid, name) VALUES (new.id, new.name);
END;
CREATE TRIGGER IF NOT EXISTS catalog_ad AFTER DELETE ON catalog_items BEGIN
  INSERT INTO catalog_fts(catalog_fts, rowid, name) VALUES('delete', old.id, old.name);
END;
CREATE TRIGGER IF NOT EXISTS catalog_au AFTER UPDATE ON catalog_items BEGIN
  INSERT INTO catalog_fts(catalog_fts, rowid, name) VALUES('delete', old.id, old.name);
  INSERT INTO catalog_fts(rowid, name) VALUES (new.id, new.name);
END;
INSERT INTO catalog_fts(rowid, name) SELECT id, name FROM catalog_items;
)sql";

// True when PRAGMA table_info lists the column under exactly this name.
bool has_column(Database& db, const std::string& table, const std::string& column) {
  auto st = db.prepare("PRAGMA table_info(" + table + ")");
  while (st.step())
    if (st.text(1) == column) return true;
  return false;
}

void add_column_if_missing(Database& db, const std::string& table, const std::string& column,
                           const std::string& definition) {
  if (!has_column(db, table, column)) db.exec("ALTER TABLE " + table + " ADD COLUMN " + column + " " + definition);
}

void step1(Database& db, int from) {
  if (from == 0) db.exec(kCreateScript);
}

void step2(Database& db) {
  add_column_if_missing(db, "catalog_items", "usage_count", "INTEGER NOT NULL DEFAULT 0");
  add_column_if_missing(db, "catalog_items", "last_used", "TEXT");
  db.exec(kFullTextScript);
}

void step3(Database& db) {
  add_column_if_missing(db, "estimate_lines", "catalog_item_id", "INTEGER REFERENCES catalog_items(id)");
  add_column_if_missing(db, "estimate_lines", "name_bold", "INTEGER NOT NULL DEFAULT 0");
}

void step4(Database& db) { add_column_if_missing(db, "catalog_items", "line_type", "TEXT NOT NULL DEFAULT 'full'"); }

void step5(Database& db) {
  if (has_column(db, "estimates", "title")) db.exec("ALTER TABLE estimates DROP COLUMN title");
}

void step6(Database& db) { add_column_if_missing(db, "estimate_footers", "markup_formula", "TEXT"); }

void step7(Database& db) {
  add_column_if_missing(db, "estimate_lines", "category", "TEXT NOT NULL DEFAULT 'work'");
  // `lower` is the connection's full-Unicode lower-casing, so Cyrillic names match in any case.
  db.exec(
      "UPDATE estimate_lines SET category = COALESCE("
      "(SELECT c.category FROM catalog_items c WHERE lower(c.name) = lower(estimate_lines.name) LIMIT 1), 'work')");
}

void step8(Database& db) { add_column_if_missing(db, "estimate_lines", "format_json", "TEXT"); }

void step9(Database& db) { db.exec("CREATE TABLE IF NOT EXISTS app_kv (k TEXT PRIMARY KEY, v TEXT NOT NULL)"); }

void step10(Database& db) { add_column_if_missing(db, "estimate_footers", "extras_json", "TEXT"); }

void step11(Database& db) {
  add_column_if_missing(db, "estimates", "mode", "TEXT NOT NULL DEFAULT 'simple'");
  add_column_if_missing(db, "estimates", "mode_mask_json", "TEXT");
  add_column_if_missing(db, "estimates", "calc_params_json", "TEXT");
  add_column_if_missing(db, "estimates", "kp_json", "TEXT");
  add_column_if_missing(db, "estimate_lines", "sku", "TEXT");
  add_column_if_missing(db, "estimate_lines", "cost_price", "REAL");
  add_column_if_missing(db, "estimate_lines", "formula", "TEXT");
  add_column_if_missing(db, "catalog_items", "sku", "TEXT");
  add_column_if_missing(db, "catalog_items", "cost_price", "REAL");
  db.exec(
      "CREATE UNIQUE INDEX IF NOT EXISTS idx_catalog_sku ON catalog_items(sku) WHERE sku IS NOT NULL AND sku != ''");
}

}  // namespace

void run_migrations(Database& db) {
  const int from = db.user_version();
  for (int step = from + 1; step <= kSchemaVersion; ++step) {
    switch (step) {
      case 1: step1(db, from); break;
      case 2: step2(db); break;
      case 3: step3(db); break;
      case 4: step4(db); break;
      case 5: step5(db); break;
      case 6: step6(db); break;
      case 7: step7(db); break;
      case 8: step8(db); break;
      case 9: step9(db); break;
      case 10: step10(db); break;
      case 11: step11(db); break;
    }
    db.set_user_version(step);
  }
}

}  // namespace calcora
