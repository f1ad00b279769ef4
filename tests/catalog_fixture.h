// A fresh database behind the dispatcher, with helpers to call commands and to put
// catalog items and estimate lines in place directly.
#pragma once

#include <gtest/gtest.h>

#include <string>

#include "commands/dispatcher.h"
#include "test_support.h"

namespace calcora::test {

struct CatalogFixture : ::testing::Test {
  TempDir dir;
  AppState state{dir / "calcora.db", Database::open(dir / "calcora.db")};
  Dispatcher dispatcher{state};

  // The command's result; fails the test when the command fails.
  Json call(const char* command, const Json& args = Json::object()) {
    auto outcome = dispatcher.dispatch(command, args);
    EXPECT_TRUE(outcome.ok) << command << ": " << outcome.body;
    return outcome.ok ? Json::parse(outcome.body) : Json();
  }
  // The command's error text; fails the test when the command succeeds.
  std::string call_error(const char* command, const Json& args) {
    auto outcome = dispatcher.dispatch(command, args);
    EXPECT_FALSE(outcome.ok) << command << " succeeded: " << outcome.body;
    return outcome.body;
  }

  int64_t add_item(const std::string& name, const std::string& category = "work", int usage_count = 0) {
    return state.with_db([&](Database& db) {
      db.prepare("INSERT INTO catalog_items (name, category, usage_count) VALUES (?1, ?2, ?3)")
          .bind_all(name, category, usage_count)
          .run();
      return db.last_insert_rowid();
    });
  }
  int64_t scalar(const std::string& sql) {
    return state.with_db([&](Database& db) {
      auto st = db.prepare(sql);
      EXPECT_TRUE(st.step()) << sql;
      return st.int64(0);
    });
  }
};

inline std::vector<std::string> names_of(const Json& items) {
  std::vector<std::string> out;
  for (const auto& item : items) out.push_back(item.at("name").get<std::string>());
  return out;
}

}  // namespace calcora::test
