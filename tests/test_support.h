// Helpers shared by the C++ tests: temporary folders and databases built from fixtures.
#pragma once

#include <filesystem>
#include <fstream>
#include <random>
#include <sstream>
#include <string>

#include "common/utf8_path.h"
#include "store/database.h"
#include "test_platform.h"

namespace calcora::test {

// A fresh folder under the system's temporary directory, removed with its content at the end.
class TempDir {
 public:
  TempDir() {
    std::random_device rd;
    path_ = std::filesystem::temp_directory_path() / ("calcora-test-" + std::to_string(rd()) + std::to_string(rd()));
    std::filesystem::create_directories(path_);
  }
  ~TempDir() {
    std::error_code ec;
    std::filesystem::remove_all(path_, ec);
  }
  const std::filesystem::path& path() const { return path_; }
  std::filesystem::path operator/(const std::string& name) const { return path_ / name; }

 private:
  std::filesystem::path path_;
};

inline std::string read_text(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream ss;
  ss << in.rdbuf();
  return ss.str();
}

inline std::filesystem::path test_data(const std::string& relative) {
  return std::filesystem::path(CALCORA_TEST_DATA) / relative;
}

// A database file built from tests/data/schema/<name>.sql, without migrations.
inline void build_fixture_db(const std::filesystem::path& db_path, const std::string& fixture) {
  auto db = Database::open_raw(db_path);
  db->exec(read_text(test_data("schema/" + fixture + ".sql")));
}

}  // namespace calcora::test
