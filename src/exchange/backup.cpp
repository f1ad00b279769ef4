#include "exchange/backup.h"

#include <sqlite3.h>

#include <memory>

#include "common/errors.h"
#include "common/file_io.h"
#include "common/random_id.h"
#include "common/utf8_path.h"

namespace calcora {

namespace {

struct SqliteCloser {
  void operator()(sqlite3* db) const { sqlite3_close(db); }
};

bool same_file(const std::filesystem::path& a, const std::filesystem::path& b) {
  std::error_code ec;
  if (std::filesystem::equivalent(a, b, ec)) return true;
  return std::filesystem::weakly_canonical(a, ec) == std::filesystem::weakly_canonical(b, ec);
}

class RemoveOnExit {
 public:
  explicit RemoveOnExit(std::filesystem::path path) : path_(std::move(path)) {}
  ~RemoveOnExit() {
    std::error_code ec;
    for (const char* suffix : {"", "-journal"}) {
      std::filesystem::path file = path_;
      file += suffix;
      std::filesystem::remove(file, ec);
    }
  }

 private:
  std::filesystem::path path_;
};

}  // namespace

// The backup must open as a database and know the estimates table; nothing else is asked of it.
// It is opened without the create flag: a mistyped path must not leave an empty file behind.
void check_backup_file(const std::filesystem::path& path) {
  sqlite3* raw = nullptr;
  int rc = sqlite3_open_v2(path_utf8(path).c_str(), &raw, SQLITE_OPEN_READWRITE, nullptr);
  std::unique_ptr<sqlite3, SqliteCloser> db(raw);
  if (rc != SQLITE_OK)
    throw CommandError(std::string("не открыть копию: ") + (raw ? sqlite3_errmsg(raw) : "out of memory"));
  sqlite3_busy_timeout(raw, 5000);
  sqlite3_stmt* st = nullptr;
  rc = sqlite3_prepare_v2(raw, "SELECT COUNT(*) FROM estimates", -1, &st, nullptr);
  if (rc == SQLITE_OK) rc = sqlite3_step(st);
  sqlite3_finalize(st);
  if (rc != SQLITE_ROW) throw CommandError(kNotBackupMessage);
}

void export_backup(AppState& state, const std::filesystem::path& path, bool replace) {
  auto vacuum_into = [&](const std::filesystem::path& target) {
    state.with_db([&](Database& db) { db.prepare("VACUUM INTO ?1").bind(1, path_utf8(target)).run(); });
  };
  if (!replace) return vacuum_into(path);
  std::filesystem::path staged = path;
  staged += ".partial-" + random_uuid();
  RemoveOnExit cleanup(staged);
  vacuum_into(staged);
  replace_file(staged, path);
}

void restore_backup(AppState& state, const std::filesystem::path& path) {
  check_backup_file(path);
  const std::filesystem::path live = state.db_path();
  if (same_file(path, live)) return;

  // The copy is made and brought to the current schema beside the live file while the live
  // database still serves; only a rename, which the file system does whole, replaces it.
  std::filesystem::path staged = live;
  staged += ".restore";
  RemoveOnExit cleanup(staged);
  try {
    copy_file_durably(path, staged);
  } catch (const CommandError& e) {
    throw CommandError(std::string("не скопировать базу: ") + e.what());
  }
  Database::open(staged).reset();  // migrations run here; a failure leaves the live file untouched

  std::unique_ptr<Database> in_memory = Database::open(":memory:");
  std::unique_ptr<Database> old = state.replace_db(std::move(in_memory));
  old.reset();  // closes the live file so that it can be replaced
  try {
    replace_file(staged, live);
  } catch (const CommandError& e) {
    state.replace_db(Database::open(live));
    throw CommandError(std::string("не скопировать базу: ") + e.what());
  }
  // Should the restored file fail to open after all, the in-memory database stays live until the
  // program is restarted, and the error is reported.
  state.replace_db(Database::open(live));
}

}  // namespace calcora
