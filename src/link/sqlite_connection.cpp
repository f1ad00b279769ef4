// The link service's SQLite connection: one file, write-ahead log so that page views go on
// while a publish writes, and a busy wait for a "ticket add" run from another process.
#include <sqlite3.h>

#include "link/sql_connection.h"

namespace calcora::link {

namespace {

class SqliteConnection final : public SqlConnection {
 public:
  explicit SqliteConnection(sqlite3* db) : db_(db) {}
  ~SqliteConnection() override { sqlite3_close_v2(db_); }

  Dialect dialect() const override { return Dialect::kSqlite; }

  std::vector<SqlRow> query(std::string_view sql, const std::vector<SqlValue>& params) override {
    sqlite3_stmt* stmt = prepare(sql, params);
    std::vector<SqlRow> rows;
    int rc;
    while ((rc = sqlite3_step(stmt)) == SQLITE_ROW) {
      SqlRow row;
      for (int i = 0, n = sqlite3_column_count(stmt); i < n; ++i) {
        if (sqlite3_column_type(stmt, i) == SQLITE_NULL) {
          row.emplace_back(std::nullopt);
        } else {
          auto* text = reinterpret_cast<const char*>(sqlite3_column_text(stmt, i));
          row.emplace_back(std::string(text, sqlite3_column_bytes(stmt, i)));
        }
      }
      rows.push_back(std::move(row));
    }
    sqlite3_finalize(stmt);
    if (rc != SQLITE_DONE) fail();
    return rows;
  }

  int64_t execute(std::string_view sql, const std::vector<SqlValue>& params) override {
    query(sql, params);
    return sqlite3_changes(db_);
  }

  void run_script(std::string_view sql) override {
    char* message = nullptr;
    if (sqlite3_exec(db_, std::string(sql).c_str(), nullptr, nullptr, &message) != SQLITE_OK) {
      std::string text = message ? message : "SQLite failure";
      sqlite3_free(message);
      throw StoreError(text);
    }
  }

  void begin() override { execute("BEGIN IMMEDIATE", {}); }
  void rollback() override { execute("ROLLBACK", {}); }

 private:
  [[noreturn]] void fail() { throw StoreError(sqlite3_errmsg(db_)); }

  sqlite3_stmt* prepare(std::string_view sql, const std::vector<SqlValue>& params) {
    sqlite3_stmt* stmt = nullptr;
    if (sqlite3_prepare_v2(db_, sql.data(), static_cast<int>(sql.size()), &stmt, nullptr) != SQLITE_OK) fail();
    for (size_t i = 0; i < params.size(); ++i) {
      int index = static_cast<int>(i + 1), rc = SQLITE_OK;
      if (auto* number = std::get_if<int64_t>(&params[i])) {
        rc = sqlite3_bind_int64(stmt, index, *number);
      } else if (auto* text = std::get_if<std::string>(&params[i])) {
        rc = sqlite3_bind_text(stmt, index, text->data(), static_cast<int>(text->size()), SQLITE_TRANSIENT);
      } else {
        rc = sqlite3_bind_null(stmt, index);
      }
      if (rc != SQLITE_OK) {
        sqlite3_finalize(stmt);
        fail();
      }
    }
    return stmt;
  }

  sqlite3* db_;
};

}  // namespace

std::unique_ptr<SqlConnection> open_sqlite_connection(const std::string& path) {
  sqlite3* db = nullptr;
  int rc = sqlite3_open_v2(path.c_str(), &db, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE | SQLITE_OPEN_FULLMUTEX,
                           nullptr);
  if (rc != SQLITE_OK) {
    std::string message = db ? sqlite3_errmsg(db) : "cannot open";
    sqlite3_close_v2(db);
    throw StoreError(path + ": " + message);
  }
  sqlite3_busy_timeout(db, 5000);
  auto connection = std::make_unique<SqliteConnection>(db);
  connection->run_script("PRAGMA journal_mode=WAL; PRAGMA synchronous=NORMAL; PRAGMA foreign_keys=ON;");
  return connection;
}

}  // namespace calcora::link
