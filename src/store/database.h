// A thin wrapper over the SQLite C API: one connection, prepared statements with
// positional binds, typed column reads. Failures throw DbError with SQLite's message.
#pragma once

#include <sqlite3.h>

#include <cstdint>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <variant>

#include "common/errors.h"

namespace calcora {

// The failure's text when a row looked up by its id is not there.
inline constexpr const char* kNoRowsMessage = "Query returned no rows";

class Statement {
 public:
  Statement(sqlite3* db, std::string_view sql);
  ~Statement();
  Statement(const Statement&) = delete;
  Statement& operator=(const Statement&) = delete;
  Statement(Statement&& other) noexcept;
  Statement& operator=(Statement&&) = delete;

  // Binds by 1-based position. std::nullopt binds NULL.
  Statement& bind(int index, std::nullptr_t);
  Statement& bind(int index, int64_t value);
  Statement& bind(int index, int value) { return bind(index, static_cast<int64_t>(value)); }
  Statement& bind(int index, bool value) { return bind(index, static_cast<int64_t>(value ? 1 : 0)); }
  Statement& bind(int index, double value);
  Statement& bind(int index, std::string_view value);
  Statement& bind(int index, const std::string& value) { return bind(index, std::string_view(value)); }
  Statement& bind(int index, const char* value) { return bind(index, std::string_view(value)); }
  template <typename T>
  Statement& bind(int index, const std::optional<T>& value) {
    return value ? bind(index, *value) : bind(index, nullptr);
  }

  // Binds all values in order, starting at position 1.
  template <typename... Ts>
  Statement& bind_all(const Ts&... values) {
    int i = 0;
    (bind(++i, values), ...);
    return *this;
  }

  // As bind_all, but texts are lent to the statement rather than copied: each must stay alive
  // and unchanged until run() or reset(). For statements run once per row of a large import.
  template <typename... Ts>
  Statement& bind_all_borrowed(const Ts&... values) {
    int i = 0;
    (bind_borrowed(++i, values), ...);
    return *this;
  }

  // Advances to the next row: true while a row is available, false when done.
  bool step();
  // Runs a statement that returns no rows (or ignores them) and resets it for reuse.
  void run();
  // Makes the statement ready to run again with new binds.
  void reset();

  bool is_null(int col) const;
  int64_t int64(int col) const;
  double real(int col) const;
  std::string text(int col) const;
  // The text without a copy; valid until the next step or reset. Empty for NULL, as text().
  std::string_view text_view(int col) const;
  std::optional<int64_t> opt_int64(int col) const;
  std::optional<double> opt_real(int col) const;
  std::optional<std::string> opt_text(int col) const;

 private:
  template <typename T>
  void bind_borrowed(int index, const T& value) {
    bind(index, value);
  }
  void bind_borrowed(int index, const std::string& value);
  void bind_borrowed(int index, const std::optional<std::string>& value) {
    value ? bind_borrowed(index, *value) : static_cast<void>(bind(index, nullptr));
  }

  sqlite3* db_;
  sqlite3_stmt* stmt_ = nullptr;
};

class Database {
 public:
  // Opens (creating if missing) and migrates the database at `path`; throws DbError.
  static std::unique_ptr<Database> open(const std::filesystem::path& path);
  // Opens without migrating; for tests that build old schemas and for backup checks.
  static std::unique_ptr<Database> open_raw(const std::filesystem::path& path);

  ~Database();
  Database(const Database&) = delete;
  Database& operator=(const Database&) = delete;

  sqlite3* handle() const { return db_; }

  // Executes one or more statements without parameters.
  void exec(std::string_view sql);
  Statement prepare(std::string_view sql) { return Statement(db_, sql); }
  // A statement prepared once per connection and reused: for per-row work in hot paths.
  // The returned statement is reset and has its binds cleared.
  Statement& cached(const std::string& sql);
  int64_t last_insert_rowid() const { return sqlite3_last_insert_rowid(db_); }
  int changes() const { return sqlite3_changes(db_); }

  int user_version();
  void set_user_version(int version);

 private:
  explicit Database(sqlite3* db) : db_(db) {}
  std::unordered_map<std::string, std::unique_ptr<Statement>> cache_;
  sqlite3* db_;
};

// Runs a transaction: commits when the body returns, rolls back when it throws.
class Transaction {
 public:
  explicit Transaction(Database& db);
  // Takes the write lock at the start (waiting for it like any write) rather than at the first
  // write: for a read-then-write whose look-up must still hold when the write lands.
  enum class Writes { immediately };
  Transaction(Database& db, Writes);
  ~Transaction();
  void commit();

 private:
  Database& db_;
  bool done_ = false;
};

// Throws DbError with the connection's current message.
[[noreturn]] void throw_db_error(sqlite3* db);

}  // namespace calcora
