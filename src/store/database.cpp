#include "store/database.h"

#include <system_error>

#include "common/errors.h"
#include "common/utf8_path.h"
#include "store/memory_rank.h"
#include "store/migrations.h"
#include "store/unicode_lower.h"

namespace calcora {

void throw_db_error(sqlite3* db) { throw DbError(db ? sqlite3_errmsg(db) : "out of memory"); }

Statement::Statement(sqlite3* db, std::string_view sql) : db_(db) {
  if (sqlite3_prepare_v2(db, sql.data(), static_cast<int>(sql.size()), &stmt_, nullptr) != SQLITE_OK)
    throw_db_error(db);
}

Statement::Statement(Statement&& other) noexcept : db_(other.db_), stmt_(other.stmt_) { other.stmt_ = nullptr; }

Statement::~Statement() { sqlite3_finalize(stmt_); }

namespace {
void check_bind(sqlite3* db, int rc) {
  if (rc != SQLITE_OK) throw_db_error(db);
}
}  // namespace

Statement& Statement::bind(int index, std::nullptr_t) {
  check_bind(db_, sqlite3_bind_null(stmt_, index));
  return *this;
}
Statement& Statement::bind(int index, int64_t value) {
  check_bind(db_, sqlite3_bind_int64(stmt_, index, value));
  return *this;
}
Statement& Statement::bind(int index, double value) {
  check_bind(db_, sqlite3_bind_double(stmt_, index, value));
  return *this;
}
Statement& Statement::bind(int index, std::string_view value) {
  check_bind(db_, sqlite3_bind_text64(stmt_, index, value.data(), value.size(), SQLITE_TRANSIENT, SQLITE_UTF8));
  return *this;
}

void Statement::bind_borrowed(int index, const std::string& value) {
  check_bind(db_, sqlite3_bind_text64(stmt_, index, value.data(), value.size(), SQLITE_STATIC, SQLITE_UTF8));
}

bool Statement::step() {
  int rc = sqlite3_step(stmt_);
  if (rc == SQLITE_ROW) return true;
  if (rc == SQLITE_DONE) return false;
  // Keep the message before reset() can replace it.
  std::string message = sqlite3_errmsg(db_);
  sqlite3_reset(stmt_);
  throw DbError(message);
}

void Statement::run() {
  while (step()) {
  }
  reset();
}

void Statement::reset() {
  sqlite3_reset(stmt_);
  sqlite3_clear_bindings(stmt_);
}

bool Statement::is_null(int col) const { return sqlite3_column_type(stmt_, col) == SQLITE_NULL; }
int64_t Statement::int64(int col) const { return sqlite3_column_int64(stmt_, col); }
double Statement::real(int col) const { return sqlite3_column_double(stmt_, col); }
std::string_view Statement::text_view(int col) const {
  auto p = reinterpret_cast<const char*>(sqlite3_column_text(stmt_, col));
  return p ? std::string_view(p, static_cast<size_t>(sqlite3_column_bytes(stmt_, col))) : std::string_view();
}
std::string Statement::text(int col) const { return std::string(text_view(col)); }
std::optional<int64_t> Statement::opt_int64(int col) const {
  return is_null(col) ? std::nullopt : std::optional<int64_t>(int64(col));
}
std::optional<double> Statement::opt_real(int col) const {
  return is_null(col) ? std::nullopt : std::optional<double>(real(col));
}
std::optional<std::string> Statement::opt_text(int col) const {
  return is_null(col) ? std::nullopt : std::optional<std::string>(text(col));
}

std::unique_ptr<Database> Database::open_raw(const std::filesystem::path& path) {
  sqlite3* raw = nullptr;
  int rc = sqlite3_open_v2(path_utf8(path).c_str(), &raw, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE | SQLITE_OPEN_NOMUTEX,
                           nullptr);
  std::unique_ptr<Database> db(new Database(raw));
  if (rc != SQLITE_OK) throw_db_error(raw);
  sqlite3_extended_result_codes(raw, 1);
  sqlite3_busy_timeout(raw, 5000);
  register_unicode_lower(raw);
  register_memory_rank(raw);
  db->exec("PRAGMA foreign_keys = ON;");
  // A page cache of up to 64 MiB instead of SQLite's 2 MiB: a 100,000-item catalog with its
  // index is about 20 MB, and a suggestion for a short prefix visits rows all over it; with the
  // small cache every such search read most pages from the file again.
  db->exec("PRAGMA cache_size = -65536;");
  return db;
}

std::unique_ptr<Database> Database::open(const std::filesystem::path& path) {
  // A missing folder is created here; if that fails, opening the file reports the real problem.
  std::error_code ignored;
  if (path.has_parent_path()) std::filesystem::create_directories(path.parent_path(), ignored);
  auto db = open_raw(path);
  run_migrations(*db);
  return db;
}

Database::~Database() {
  cache_.clear();
  sqlite3_close_v2(db_);
}

void Database::exec(std::string_view sql) {
  std::string text(sql);
  char* err = nullptr;
  if (sqlite3_exec(db_, text.c_str(), nullptr, nullptr, &err) != SQLITE_OK) {
    std::string message = err ? err : sqlite3_errmsg(db_);
    sqlite3_free(err);
    throw DbError(message);
  }
}

Statement& Database::cached(const std::string& sql) {
  auto it = cache_.find(sql);
  if (it == cache_.end()) it = cache_.emplace(sql, std::make_unique<Statement>(db_, sql)).first;
  it->second->reset();
  return *it->second;
}

int Database::user_version() {
  auto st = prepare("PRAGMA user_version");
  st.step();
  return static_cast<int>(st.int64(0));
}

void Database::set_user_version(int version) { exec("PRAGMA user_version = " + std::to_string(version)); }

Transaction::Transaction(Database& db) : db_(db) { db_.exec("BEGIN"); }

Transaction::Transaction(Database& db, Writes) : db_(db) { db_.exec("BEGIN IMMEDIATE"); }

Transaction::~Transaction() {
  if (!done_) sqlite3_exec(db_.handle(), "ROLLBACK", nullptr, nullptr, nullptr);
}

void Transaction::commit() {
  db_.exec("COMMIT");
  done_ = true;
}

}  // namespace calcora
