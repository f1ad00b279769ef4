-- A database as version 6 left it: lines have no category yet; their names match catalog
-- items in another letter case (Cyrillic and Latin).
CREATE TABLE estimates (
  id INTEGER PRIMARY KEY AUTOINCREMENT,
  object_name TEXT NOT NULL DEFAULT '',
  created_at TEXT NOT NULL,
  updated_at TEXT NOT NULL
);
CREATE TABLE estimate_lines (
  id INTEGER PRIMARY KEY AUTOINCREMENT,
  estimate_id INTEGER NOT NULL REFERENCES estimates(id) ON DELETE CASCADE,
  sort_order INTEGER NOT NULL DEFAULT 0,
  line_type TEXT NOT NULL DEFAULT 'full',
  name TEXT NOT NULL DEFAULT '',
  unit TEXT,
  quantity REAL,
  unit_price REAL,
  fixed_total REAL,
  catalog_item_id INTEGER REFERENCES catalog_items(id),
  name_bold INTEGER NOT NULL DEFAULT 0
);
CREATE TABLE estimate_footers (
  estimate_id INTEGER PRIMARY KEY REFERENCES estimates(id) ON DELETE CASCADE,
  materials REAL NOT NULL DEFAULT 0,
  delivery REAL NOT NULL DEFAULT 0,
  advance REAL NOT NULL DEFAULT 0,
  show_materials INTEGER NOT NULL DEFAULT 0,
  show_delivery INTEGER NOT NULL DEFAULT 0,
  show_advance INTEGER NOT NULL DEFAULT 0,
  markup_formula TEXT
);
CREATE TABLE catalog_items (
  id INTEGER PRIMARY KEY AUTOINCREMENT,
  name TEXT NOT NULL,
  unit TEXT,
  default_price REAL,
  category TEXT NOT NULL DEFAULT 'work',
  created_at TEXT NOT NULL DEFAULT (datetime('now')),
  updated_at TEXT NOT NULL DEFAULT (datetime('now')),
  usage_count INTEGER NOT NULL DEFAULT 0,
  last_used TEXT,
  line_type TEXT NOT NULL DEFAULT 'full'
);
INSERT INTO catalog_items (name, category) VALUES ('Цемент М500', 'material'), ('Бетономешалка', 'equipment'),
  ('Drywall SHEET', 'material');
INSERT INTO estimates (id, object_name, created_at, updated_at) VALUES (1, 'Дом', '2024-01-01T10:00:00Z', '2024-01-01T10:00:00Z');
INSERT INTO estimate_lines (estimate_id, sort_order, name) VALUES
  (1, 0, 'цемент м500'), (1, 1, 'БЕТОНОМЕШАЛКА'), (1, 2, 'drywall sheet'), (1, 3, 'Штукатурка стен');
PRAGMA user_version = 6;
