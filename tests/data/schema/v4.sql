-- A database as version 4 left it: estimates still carry the old `title` column.
CREATE TABLE estimates (
  id INTEGER PRIMARY KEY AUTOINCREMENT,
  title TEXT NOT NULL DEFAULT '',
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
  show_advance INTEGER NOT NULL DEFAULT 0
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
CREATE INDEX idx_estimate_lines_estimate ON estimate_lines(estimate_id, sort_order);
CREATE INDEX idx_catalog_name ON catalog_items(name);
INSERT INTO estimates (id, title, object_name, created_at, updated_at)
  VALUES (1, 'Старый заголовок', 'Дом', '2024-01-01T10:00:00Z', '2024-01-02T10:00:00Z'),
         (2, '', 'Баня', '2024-02-01T10:00:00Z', '2024-02-01T10:00:00Z');
INSERT INTO estimate_lines (estimate_id, sort_order, name, quantity, unit_price) VALUES (1, 0, 'Кладка', 10, 500);
PRAGMA user_version = 4;
