// The little the link service needs from a database engine: parameterised statements whose
// values are bound, never pasted, and rows read back as texts. SQLite and PostgreSQL each
// implement it; the store's queries are written once against it.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

namespace calcora::link {

class StoreError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

enum class Dialect { kSqlite, kPostgres };

using SqlValue = std::variant<std::monostate, int64_t, std::string>;
using SqlRow = std::vector<std::optional<std::string>>;

class SqlConnection {
 public:
  virtual ~SqlConnection() = default;
  virtual Dialect dialect() const = 0;
  // One statement with "?" placeholders bound in order; returns the rows it yields.
  virtual std::vector<SqlRow> query(std::string_view sql, const std::vector<SqlValue>& params = {}) = 0;
  // One statement; returns how many rows it changed.
  virtual int64_t execute(std::string_view sql, const std::vector<SqlValue>& params = {}) = 0;
  // Several statements without parameters (the schema's steps).
  virtual void run_script(std::string_view sql) = 0;
  // Starts a transaction that will write: SQLite takes its write lock at once, so a read
  // followed by a write in it cannot be overtaken by another process.
  virtual void begin() = 0;
  virtual void commit() { execute("COMMIT"); }
  virtual void rollback() = 0;
};

// Commits when the body returns, rolls back when it throws.
class SqlTransaction {
 public:
  explicit SqlTransaction(SqlConnection& c) : c_(c) { c_.begin(); }
  ~SqlTransaction() {
    if (!done_) {
      try {
        c_.rollback();
      } catch (...) {
      }
    }
  }
  void commit() {
    c_.commit();
    done_ = true;
  }

 private:
  SqlConnection& c_;
  bool done_ = false;
};

std::unique_ptr<SqlConnection> open_sqlite_connection(const std::string& path);
std::unique_ptr<SqlConnection> open_postgres_connection(const std::string& conninfo);

}  // namespace calcora::link
