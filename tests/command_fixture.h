// A fresh database behind the dispatcher in a temporary folder, with helpers to run commands
// and to put data in place. `AppFixture` is a plain object for tests that want more than one
// application or none at all; `CommandTest` is the same as a GoogleTest fixture.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "commands/dispatcher.h"
#include "test_support.h"

namespace calcora::test {

struct AppFixture {
  TempDir dir;
  AppState state{dir / "calcora.db", Database::open(dir / "calcora.db")};
  Dispatcher dispatcher{state};

  // The command's JSON result; fails the test when the command fails.
  Json call(std::string_view command, const Json& args = Json::object()) {
    auto outcome = dispatcher.dispatch(command, args);
    EXPECT_TRUE(outcome.ok) << command << ": " << outcome.body;
    return outcome.ok ? Json::parse(outcome.body) : Json();
  }
  // The command's error text; fails the test when the command succeeds.
  std::string fail(std::string_view command, const Json& args = Json::object()) {
    auto outcome = dispatcher.dispatch(command, args);
    EXPECT_FALSE(outcome.ok) << command << " succeeded: " << outcome.body;
    return outcome.body;
  }
  // The first column of the first row of a query (a COUNT(*) or any other integer).
  int64_t count(const std::string& sql) {
    return state.with_db([&](Database& db) {
      auto st = db.prepare(sql);
      EXPECT_TRUE(st.step()) << sql;
      return st.int64(0);
    });
  }
  // Creates an estimate with these lines (objects with at least line_type and name; sort_order,
  // estimate_id and category are filled in) and footer fields; returns it as stored.
  Json make_estimate(const std::string& name, const Json& lines, const Json& footer = Json::object()) {
    Json payload = call("create_estimate", {{"objectName", name}});
    payload["lines"] = Json::array();
    int order = 0;
    for (Json line : lines) {
      line["sort_order"] = order++;
      line["estimate_id"] = payload["estimate"]["id"];
      payload["lines"].push_back(line);
    }
    payload["footer"].update(footer);
    return call("save_estimate", {{"payload", payload}});
  }
  // The estimate's grand total as the library lists it.
  double grand_total(const Json& id) {
    for (const auto& summary : call("list_estimates", Json::object()))
      if (summary["id"] == id) return summary["total"].get<double>();
    ADD_FAILURE() << "no estimate " << id;
    return 0;
  }
  // Puts a catalog item in place directly, with the usage count a test needs; returns its id.
  int64_t add_item(const std::string& name, const std::string& category = "work", int usage_count = 0) {
    return state.with_db([&](Database& db) {
      db.prepare("INSERT INTO catalog_items (name, category, usage_count) VALUES (?1, ?2, ?3)")
          .bind_all(name, category, usage_count)
          .run();
      return db.last_insert_rowid();
    });
  }
};

struct CommandTest : ::testing::Test, AppFixture {};

inline std::vector<std::string> names_of(const Json& items) {
  std::vector<std::string> out;
  for (const auto& item : items) out.push_back(item.at("name").get<std::string>());
  return out;
}

}  // namespace calcora::test
