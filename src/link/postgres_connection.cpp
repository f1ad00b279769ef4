// The link service's PostgreSQL connection (libpq): parameters travel apart from the
// statement text, results come back as texts. A dropped connection is re-established once
// before a statement fails, so a database restart costs the requests in flight, not the
// instance.
#include <libpq-fe.h>

#include "link/sql_connection.h"

namespace calcora::link {

namespace {

// "?" placeholders as PostgreSQL numbers them: "$1", "$2"… The store's statements hold no
// "?" inside literals.
std::string numbered_placeholders(std::string_view sql) {
  std::string out;
  int n = 0;
  for (char c : sql) {
    if (c == '?') out += "$" + std::to_string(++n);
    else out += c;
  }
  return out;
}

struct ResultDeleter {
  void operator()(PGresult* r) const { PQclear(r); }
};
using Result = std::unique_ptr<PGresult, ResultDeleter>;

class PostgresConnection final : public SqlConnection {
 public:
  explicit PostgresConnection(PGconn* conn) : conn_(conn) {}
  ~PostgresConnection() override { PQfinish(conn_); }

  Dialect dialect() const override { return Dialect::kPostgres; }

  std::vector<SqlRow> query(std::string_view sql, const std::vector<SqlValue>& params) override {
    Result result = run(numbered_placeholders(sql), params);
    std::vector<SqlRow> rows;
    for (int r = 0, n = PQntuples(result.get()); r < n; ++r) {
      SqlRow row;
      for (int c = 0, m = PQnfields(result.get()); c < m; ++c) {
        if (PQgetisnull(result.get(), r, c)) row.emplace_back(std::nullopt);
        else row.emplace_back(std::string(PQgetvalue(result.get(), r, c), PQgetlength(result.get(), r, c)));
      }
      rows.push_back(std::move(row));
    }
    return rows;
  }

  int64_t execute(std::string_view sql, const std::vector<SqlValue>& params) override {
    Result result = run(numbered_placeholders(sql), params);
    const char* count = PQcmdTuples(result.get());
    return count && *count ? std::stoll(count) : 0;
  }

  void run_script(std::string_view sql) override {
    Result result(PQexec(conn_, std::string(sql).c_str()));
    check(result.get());
  }

  void begin() override {
    if (PQstatus(conn_) == CONNECTION_BAD) PQreset(conn_);
    execute("BEGIN", {});
  }
  void rollback() override { execute("ROLLBACK", {}); }

 private:
  void check(PGresult* result) {
    auto status = PQresultStatus(result);
    if (status != PGRES_COMMAND_OK && status != PGRES_TUPLES_OK) throw StoreError(PQerrorMessage(conn_));
  }

  Result run(const std::string& sql, const std::vector<SqlValue>& params) {
    std::vector<std::string> texts(params.size());
    std::vector<const char*> values(params.size());
    for (size_t i = 0; i < params.size(); ++i) {
      if (auto* number = std::get_if<int64_t>(&params[i])) {
        texts[i] = std::to_string(*number);
        values[i] = texts[i].c_str();
      } else if (auto* text = std::get_if<std::string>(&params[i])) {
        values[i] = text->c_str();
      } else {
        values[i] = nullptr;
      }
    }
    // Outside a transaction a broken connection is re-established and the statement tried
    // once more; inside one, the transaction is lost anyway and the error goes up.
    if (PQstatus(conn_) == CONNECTION_BAD && PQtransactionStatus(conn_) != PQTRANS_INTRANS) PQreset(conn_);
    Result result(PQexecParams(conn_, sql.c_str(), static_cast<int>(params.size()), nullptr, values.data(), nullptr,
                               nullptr, 0));
    check(result.get());
    return result;
  }

  PGconn* conn_;
};

}  // namespace

std::unique_ptr<SqlConnection> open_postgres_connection(const std::string& conninfo) {
  PGconn* conn = PQconnectdb(conninfo.c_str());
  if (PQstatus(conn) != CONNECTION_OK) {
    std::string message = PQerrorMessage(conn);
    PQfinish(conn);
    throw StoreError("PostgreSQL: " + message);
  }
  // Notices ("relation already exists, skipping") are no failures; keep them out of the log.
  PQclear(PQexec(conn, "SET client_min_messages TO warning"));
  return std::make_unique<PostgresConnection>(conn);
}

}  // namespace calcora::link
