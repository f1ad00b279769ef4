#include "link/link_schema.h"

#include <string>

namespace calcora::link {

namespace {

struct Step {
  int version;
  const char* sql;  // "{id}" stands for the engine's increasing integer key
};

constexpr Step kSteps[] = {
    {1,
     "CREATE TABLE tickets ("
     " id {id},"
     " name TEXT NOT NULL UNIQUE,"
     " key_hash TEXT NOT NULL UNIQUE,"
     " created_at TEXT NOT NULL,"
     " revoked_at TEXT);"
     "CREATE TABLE proposals ("
     " token TEXT PRIMARY KEY,"
     " ticket_id BIGINT NOT NULL REFERENCES tickets(id),"
     " snapshot TEXT NOT NULL,"
     " created_at TEXT NOT NULL,"
     " updated_at TEXT NOT NULL,"
     " revoked_at TEXT,"
     " decision_status TEXT,"
     " decision_name TEXT,"
     " decided_at TEXT);"
     "CREATE INDEX proposals_by_ticket ON proposals(ticket_id);"
     "CREATE TABLE comments ("
     " id {id},"
     " token TEXT NOT NULL REFERENCES proposals(token),"
     " name TEXT NOT NULL,"
     " contact TEXT NOT NULL,"
     " body TEXT NOT NULL,"
     " created_at TEXT NOT NULL);"
     "CREATE INDEX comments_by_token ON comments(token, id);"},
};

std::string spelt_for(Dialect dialect, std::string sql) {
  const std::string id = dialect == Dialect::kSqlite ? "INTEGER PRIMARY KEY AUTOINCREMENT"
                                                     : "BIGINT GENERATED ALWAYS AS IDENTITY PRIMARY KEY";
  for (auto at = sql.find("{id}"); at != std::string::npos; at = sql.find("{id}", at)) sql.replace(at, 4, id);
  return sql;
}

}  // namespace

int newest_schema_version() { return kSteps[std::size(kSteps) - 1].version; }

int migrate(SqlConnection& c) {
  SqlTransaction transaction(c);
  // Instances starting together on one PostgreSQL database wait for each other here; SQLite's
  // write lock, taken by begin(), does the same for processes on one file.
  if (c.dialect() == Dialect::kPostgres) c.query("SELECT pg_advisory_xact_lock(290290)");
  c.run_script("CREATE TABLE IF NOT EXISTS schema_steps (version INTEGER PRIMARY KEY, applied_at TEXT NOT NULL)");
  auto rows = c.query("SELECT COALESCE(MAX(version), 0) FROM schema_steps");
  int version = std::stoi(rows.at(0).at(0).value_or("0"));
  for (const Step& step : kSteps) {
    if (step.version <= version) continue;
    c.run_script(spelt_for(c.dialect(), step.sql));
    c.execute("INSERT INTO schema_steps (version, applied_at) VALUES (?, CURRENT_TIMESTAMP)",
              {SqlValue(int64_t{step.version})});
    version = step.version;
  }
  transaction.commit();
  return version;
}

}  // namespace calcora::link
