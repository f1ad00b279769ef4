// A link service inside the test process, on 127.0.0.1 and a free port, over SQLite in a
// temporary folder or over PostgreSQL in a schema of its own (when CALCORA_TEST_POSTGRES
// names a database), so each test starts empty and tests may run side by side.
#pragma once

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>

#include "link/http_server.h"
#include "link/link_service.h"
#include "link/link_store.h"
#include "link/secrets.h"

namespace calcora::link::test {

enum class Engine { kSqlite, kPostgres };

inline std::string engine_name(const ::testing::TestParamInfo<Engine>& info) {
  return info.param == Engine::kSqlite ? "SQLite" : "PostgreSQL";
}

// Where one test keeps its records; a second store on the same place is a second instance.
class StorePlace {
 public:
  explicit StorePlace(Engine engine) : engine_(engine) {
    std::string name = "t_";
    for (unsigned char c : random_text(9)) name += std::isalnum(c) ? static_cast<char>(std::tolower(c)) : 'x';
    if (engine == Engine::kSqlite) {
      dir_ = std::filesystem::temp_directory_path() / ("calcora-link-" + name);
      std::filesystem::create_directories(dir_);
    } else {
      const char* conninfo = std::getenv("CALCORA_TEST_POSTGRES");
      base_conninfo_ = conninfo ? conninfo : "";
      schema_ = name;
      if (!base_conninfo_.empty()) open_postgres_connection(base_conninfo_)->run_script("CREATE SCHEMA " + schema_);
    }
  }
  ~StorePlace() {
    if (engine_ == Engine::kSqlite) std::filesystem::remove_all(dir_);
    else if (!base_conninfo_.empty()) open_postgres_connection(base_conninfo_)->run_script("DROP SCHEMA " + schema_ + " CASCADE");
  }
  bool available() const { return engine_ == Engine::kSqlite || !base_conninfo_.empty(); }

  std::unique_ptr<LinkStore> open() const {
    if (engine_ == Engine::kSqlite) return LinkStore::open_sqlite((dir_ / "link.db").string());
    return LinkStore::open_postgres(base_conninfo_ + " options='-csearch_path=" + schema_ + "'", 4);
  }

 private:
  Engine engine_;
  std::filesystem::path dir_;
  std::string base_conninfo_, schema_;
};

// One running instance: a store, the service over it, and its HTTP server.
struct Instance {
  Instance(const StorePlace& place, ServiceOptions options = {}) : store(place.open()), service(*store, options) {
    ServerOptions server_options;
    server_options.port = 0;
    server_options.threads = 2;
    server = std::make_unique<HttpServer>(server_options, [this](const Request& r) { return service.handle(r); });
    port = server->bind().first;
    std::string problem;
    if (port < 0 || !server->start(problem)) throw std::runtime_error("the test service did not start: " + problem);
  }
  std::string base() const { return "http://127.0.0.1:" + std::to_string(port); }

  std::unique_ptr<LinkStore> store;
  Service service;
  std::unique_ptr<HttpServer> server;
  int port = -1;
};

// Adds a live ticket and returns its key.
inline std::string add_ticket(LinkStore& store, const std::string& name) {
  std::string key = new_ticket_key();
  store.add_ticket(name, ticket_key_hash(key), "2026-12-01T10:00:00Z");
  return key;
}

}  // namespace calcora::link::test
