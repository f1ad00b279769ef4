// The estimate commands through the dispatcher: shapes, defaults, the whole-estimate save and
// its rollback, line ids that survive saves, the copy for a new object and the list's totals.
#include <gtest/gtest.h>

#include "command_fixture.h"
#include "store/estimate_repository.h"
#include "store/estimate_writes.h"

namespace calcora {
namespace {

std::vector<std::string> keys_of(const Json& object) {
  std::vector<std::string> keys;
  for (const auto& item : object.items()) keys.push_back(item.key());
  return keys;
}

struct EstimateCommandsTest : test::CommandTest {
  Json create(const std::string& name) { return call("create_estimate", {{"objectName", name}}); }
  Json save(const Json& payload) { return call("save_estimate", {{"payload", payload}}); }
  // A line as the page sends it: only the required keys.
  static Json line(int sort_order, const char* type, const char* name, Json qty = nullptr, Json price = nullptr) {
    return {{"estimate_id", 0}, {"sort_order", sort_order}, {"line_type", type},
            {"name", name},     {"quantity", qty},          {"unit_price", price}};
  }
};

TEST_F(EstimateCommandsTest, CreateGivesEmptyEstimateWithStoredFooterInRecordKeyOrder) {
  Json created = create("");
  EXPECT_EQ(keys_of(created), (std::vector<std::string>{"estimate", "lines", "footer"}));
  EXPECT_EQ(keys_of(created["estimate"]),
            (std::vector<std::string>{"id", "object_name", "created_at", "updated_at", "mode", "mode_mask_json",
                                      "calc_params_json", "kp_json"}));
  EXPECT_EQ(created["estimate"]["object_name"], "");
  EXPECT_EQ(created["estimate"]["mode"], "simple");
  EXPECT_EQ(created["estimate"]["created_at"].get<std::string>().size(), 20u);  // 2026-01-02T03:04:05Z
  EXPECT_EQ(created["lines"], Json::array());
  int64_t id = created["estimate"]["id"];
  Json footer = {{"estimate_id", id},     {"materials", 0.0},          {"delivery", 0.0},
                 {"advance", 0.0},        {"show_materials", false},   {"show_delivery", false},
                 {"show_advance", false}, {"markup_formula", nullptr}, {"extras_json", nullptr}};
  EXPECT_EQ(created["footer"].dump(), footer.dump());
  EXPECT_EQ(call("get_estimate", {{"id", id}}), created);
  EXPECT_EQ(count("SELECT count(*) FROM estimate_footers WHERE estimate_id = " + std::to_string(id)), 1);
}

TEST_F(EstimateCommandsTest, SaveStoresLinesAsSentWithDefaults) {
  Json payload = create("Дом");
  int64_t id = payload["estimate"]["id"];
  std::string created_at = payload["estimate"]["created_at"];
  payload["estimate"]["created_at"] = "1999-01-01T00:00:00Z";
  payload["estimate"]["object_name"] = "Дом 2";
  payload["estimate"].erase("mode");
  payload["lines"] = Json::array(
      {line(5, "full", "Кладка", 2, 100), line(5, "fixed", "Вывоз", nullptr, nullptr), line(2, "section", "Раздел")});
  payload["lines"][1]["fixed_total"] = 1200;
  payload["footer"]["markup_formula"] = "работы * 0.1";
  payload["footer"]["estimate_id"] = 999;  // not used

  Json stored = save(payload);
  EXPECT_EQ(stored["estimate"]["created_at"], created_at);
  EXPECT_EQ(stored["estimate"]["object_name"], "Дом 2");
  EXPECT_EQ(stored["estimate"]["mode"], "simple");
  ASSERT_EQ(stored["lines"].size(), 3u);
  std::vector<int> orders;
  for (const auto& l : stored["lines"]) orders.push_back(l["sort_order"]);
  EXPECT_EQ(orders, (std::vector<int>{2, 5, 5}));
  const Json& first = stored["lines"][1];
  EXPECT_EQ(keys_of(first),
            (std::vector<std::string>{"id", "estimate_id", "sort_order", "line_type", "name", "unit", "quantity",
                                      "unit_price", "fixed_total", "catalog_item_id", "name_bold", "category",
                                      "format_json", "sku", "cost_price", "formula"}));
  EXPECT_EQ(first["estimate_id"], id);
  EXPECT_EQ(first["category"], "work");
  EXPECT_EQ(first["name_bold"], false);
  EXPECT_EQ(first["quantity"], 2.0);
  EXPECT_EQ(stored["lines"][2]["fixed_total"], 1200.0);
  EXPECT_EQ(stored["footer"]["estimate_id"], id);
  EXPECT_EQ(stored["footer"]["markup_formula"], "работы * 0.1");
  EXPECT_EQ(call("get_estimate", {{"id", id}}), stored);

  payload["lines"] = Json::array();
  EXPECT_EQ(save(payload)["lines"], Json::array());
  EXPECT_EQ(count("SELECT count(*) FROM estimate_lines"), 0);
}

TEST_F(EstimateCommandsTest, FailedSaveChangesNothing) {
  Json payload = create("Баня");
  payload["lines"] = Json::array({line(0, "full", "Кладка", 2, 100)});
  Json before = save(payload);

  // The second line points at a catalog item that does not exist: the whole save rolls back.
  Json broken = before;
  broken["estimate"]["object_name"] = "Другое";
  broken["lines"] = Json::array({line(0, "full", "Новая", 1, 1), line(1, "full", "Ссылка", 1, 1)});
  broken["lines"][1]["catalog_item_id"] = 424242;
  broken["footer"]["advance"] = 5;
  EXPECT_EQ(fail("save_estimate", {{"payload", broken}}), "FOREIGN KEY constraint failed");
  EXPECT_EQ(call("get_estimate", {{"id", before["estimate"]["id"]}}), before);

  // An estimate id without a row fails on the foreign key and writes nothing.
  Json orphan = before;
  orphan["estimate"]["id"] = 777;
  EXPECT_EQ(fail("save_estimate", {{"payload", orphan}}), "FOREIGN KEY constraint failed");
  orphan["lines"] = Json::array();
  EXPECT_EQ(fail("save_estimate", {{"payload", orphan}}), "FOREIGN KEY constraint failed");
  EXPECT_EQ(count("SELECT count(*) FROM estimate_lines WHERE estimate_id = 777"), 0);
  EXPECT_EQ(count("SELECT count(*) FROM estimate_footers WHERE estimate_id = 777"), 0);
}

TEST_F(EstimateCommandsTest, DecodingFailuresNameTheKeyAndTheField) {
  Json payload = create("Дом");
  struct Case {
    const char* command;
    Json args;
    std::string error;
  };
  Json no_order = payload;
  no_order["lines"] = Json::array({line(0, "full", "x")});
  no_order["lines"][0].erase("sort_order");
  Json no_flag = payload;
  no_flag["footer"].erase("show_advance");
  Json no_created = payload;
  no_created["estimate"].erase("created_at");
  Json big_order = payload;
  big_order["lines"] = Json::array({line(0, "full", "x")});
  big_order["lines"][0]["sort_order"] = int64_t(1) << 40;
  const Case cases[] = {
      {"get_estimate",
       {{"id", "5"}},
       "invalid args `id` for command `get_estimate`: invalid type: string \"5\", expected i64"},
      {"get_estimate", Json::object(), "command get_estimate missing required key id"},
      {"save_estimate",
       {{"payload", no_order}},
       "invalid args `payload` for command `save_estimate`: missing field `sort_order`"},
      {"save_estimate",
       {{"payload", no_flag}},
       "invalid args `payload` for command `save_estimate`: missing field `show_advance`"},
      {"save_estimate",
       {{"payload", no_created}},
       "invalid args `payload` for command `save_estimate`: missing field `created_at`"},
      {"save_estimate",
       {{"payload", big_order}},
       "invalid args `payload` for command `save_estimate`: invalid value: integer `1099511627776`, expected i32"},
      {"create_estimate",
       {{"objectName", nullptr}},
       "invalid args `objectName` for command `create_estimate`: invalid type: null, expected a string"},
  };
  for (const auto& c : cases) EXPECT_EQ(fail(c.command, c.args), c.error) << c.args.dump();
}

TEST_F(EstimateCommandsTest, LineIdsSurviveSavesSoFormulaReferencesKeepWorking) {
  Json payload = create("Дом");
  Json other = create("Сарай");
  other["lines"] = Json::array({line(0, "full", "Чужая", 1, 1)});
  int64_t foreign_id = save(other)["lines"][0]["id"];

  payload["lines"] = Json::array({line(0, "full", "Стены", 3, 100), line(1, "full", "Грунт", 6, 10)});
  Json first = save(payload);
  int64_t walls = first["lines"][0]["id"];
  int64_t primer = first["lines"][1]["id"];

  // The page writes a reference to the first line and saves with the ids it holds.
  Json edited = first;
  std::string formula = "line:" + std::to_string(walls) + ".qty * 2";
  edited["lines"][1]["formula"] = formula;
  Json added = line(2, "full", "Новая", 1, 1);
  added["id"] = foreign_id;  // an id of another estimate's line is not taken over
  edited["lines"].push_back(added);
  Json copied = edited["lines"][0];
  copied["sort_order"] = 3;  // a second line sent with the same id gets a new one
  edited["lines"].push_back(copied);
  Json second = save(edited);
  ASSERT_EQ(second["lines"].size(), 4u);
  EXPECT_EQ(second["lines"][0]["id"], walls);
  EXPECT_EQ(second["lines"][1]["id"], primer);
  EXPECT_NE(second["lines"][2]["id"], foreign_id);
  EXPECT_NE(second["lines"][3]["id"], walls);
  EXPECT_EQ(call("get_estimate", {{"id", other["estimate"]["id"]}})["lines"][0]["id"], foreign_id);

  // Reopened and saved again, the reference still names the line it was written for.
  Json reopened = call("get_estimate", {{"id", payload["estimate"]["id"]}});
  Json third = save(reopened);
  EXPECT_EQ(third["lines"][1]["formula"], formula);
  EXPECT_EQ(third["lines"][0]["id"], walls);
  EXPECT_EQ(third["lines"][0]["name"], "Стены");
}

TEST_F(EstimateCommandsTest, DuplicateStartsANewObjectFromTheSource) {
  Json payload = create("Дом");
  payload["estimate"]["mode"] = "pro";
  payload["estimate"]["calc_params_json"] = R"({"room":{}})";
  payload["lines"] = Json::array({line(0, "full", "Кладка", 2, 100), line(1, "quantity_only", "Замер", 7),
                                  line(2, "fixed", "Вывоз", 4), line(3, "full", "Раствор", 9, 10)});
  payload["lines"][2]["fixed_total"] = 1200;
  payload["footer"] = {{"estimate_id", 0},
                       {"materials", 500},
                       {"delivery", 3000},
                       {"advance", 100},
                       {"show_materials", true},
                       {"show_delivery", false},
                       {"show_advance", true},
                       {"markup_formula", "работы * 0.1"},
                       {"extras_json", R"([{"amount":5}])"}};
  Json source = save(payload);
  int64_t first_id = source["lines"][0]["id"];
  payload = source;
  payload["lines"][3]["formula"] = "line:" + std::to_string(first_id) + ".price + line:999999.qty";
  source = save(payload);

  Json copy = call("duplicate_estimate", {{"id", source["estimate"]["id"]}});
  EXPECT_NE(copy["estimate"]["id"], source["estimate"]["id"]);
  EXPECT_EQ(copy["estimate"]["object_name"], "Дом - новый объект");
  EXPECT_EQ(copy["estimate"]["mode"], "pro");
  EXPECT_EQ(copy["estimate"]["calc_params_json"], R"({"room":{}})");
  ASSERT_EQ(copy["lines"].size(), 4u);
  EXPECT_EQ(copy["lines"][0]["quantity"], 0.0);
  EXPECT_EQ(copy["lines"][0]["unit_price"], 100.0);
  EXPECT_EQ(copy["lines"][1]["quantity"], 0.0);
  EXPECT_EQ(copy["lines"][2]["quantity"], 4.0);
  EXPECT_EQ(copy["lines"][2]["fixed_total"], 1200.0);
  // The copy's formula names the copy's own line; a reference to no line stays as written.
  EXPECT_EQ(copy["lines"][3]["formula"],
            "line:" + std::to_string(copy["lines"][0]["id"].get<int64_t>()) + ".price + line:999999.qty");
  Json footer = copy["footer"];
  EXPECT_EQ(footer["materials"], 500.0);
  EXPECT_EQ(footer["delivery"], 3000.0);
  EXPECT_EQ(footer["advance"], 100.0);
  EXPECT_EQ(footer["show_materials"], true);
  EXPECT_EQ(footer["show_advance"], true);
  EXPECT_TRUE(footer["markup_formula"].is_null());
  EXPECT_TRUE(footer["extras_json"].is_null());
  // The source is untouched.
  EXPECT_EQ(call("get_estimate", {{"id", source["estimate"]["id"]}}), source);
  EXPECT_EQ(fail("duplicate_estimate", {{"id", 4242}}), "Query returned no rows");
}

TEST_F(EstimateCommandsTest, ListShowsGrandTotalsMostRecentFirst) {
  Json a = create("A");
  a["lines"] = Json::array({line(0, "full", "Работа", 10, 100), line(1, "full", "Кирпич", 2, 50)});
  a["lines"][1]["category"] = "material";
  a["footer"]["markup_formula"] = "работы * 0.1";
  a["footer"]["extras_json"] = R"([{"amount":7}])";
  a["footer"]["advance"] = 500;
  a["footer"]["show_advance"] = true;
  save(a);
  Json b = create("B");  // no lines, footer row removed below: the default footer
  Json c = create("C");
  c["lines"] = Json::array({line(0, "full", "x", 1, 1)});
  c["footer"]["markup_formula"] = "works / 0";
  save(c);
  Json d = create("D");  // no lines, but a delivery that is switched on
  d["footer"]["delivery"] = 300;
  d["footer"]["show_delivery"] = true;
  save(d);
  state.with_db([&](Database& db) {
    db.exec("DELETE FROM estimate_footers WHERE estimate_id = " + b["estimate"]["id"].dump());
    // Fixed time stamps make the order certain: D, A, C, B.
    db.exec(
        "UPDATE estimates SET updated_at = CASE object_name WHEN 'D' THEN '2026-01-04T00:00:00Z' "
        "WHEN 'A' THEN '2026-01-03T00:00:00Z' WHEN 'C' THEN '2026-01-02T00:00:00Z' "
        "ELSE '2026-01-01T00:00:00Z' END");
  });

  Json list = call("list_estimates", Json::object());
  ASSERT_EQ(list.size(), 4u);
  EXPECT_EQ(keys_of(list[0]),
            (std::vector<std::string>{"id", "object_name", "created_at", "updated_at", "total", "mode"}));
  std::vector<std::string> names;
  for (const auto& entry : list) names.push_back(entry["object_name"]);
  EXPECT_EQ(names, (std::vector<std::string>{"D", "A", "C", "B"}));
  EXPECT_EQ(list[0]["total"], 300.0);
  EXPECT_EQ(list[1]["total"], 1000 + 100 + 100 + 7.0);  // markup and extras in, advance not taken off
  EXPECT_TRUE(list[2]["total"].is_null());              // a markup dividing by zero
  EXPECT_EQ(list[3]["total"], 0.0);
  EXPECT_EQ(list[3]["mode"], "simple");
}

TEST_F(EstimateCommandsTest, DeleteTakesLinesAndFooterAlong) {
  Json payload = create("Дом");
  payload["lines"] = Json::array({line(0, "full", "x", 1, 1)});
  save(payload);
  Json id = payload["estimate"]["id"];
  EXPECT_EQ(call("delete_estimate", {{"id", id}}), nullptr);
  EXPECT_EQ(fail("get_estimate", {{"id", id}}), "Query returned no rows");
  EXPECT_EQ(count("SELECT count(*) FROM estimate_lines") + count("SELECT count(*) FROM estimate_footers"), 0);
  EXPECT_EQ(call("delete_estimate", {{"id", id}}), nullptr);  // a missing id is no error
  EXPECT_EQ(call("list_estimates", Json::object()), Json::array());
}

TEST_F(EstimateCommandsTest, WritesNestInsideATransactionTheCallerHasOpen) {
  // An import writes several estimates in its own transaction; its rollback takes them all back,
  // and a failed write inside it undoes only itself.
  state.with_db([](Database& db) {
    Transaction outer(db);
    int64_t id = insert_new_estimate(db, "Импорт");
    SaveEstimatePayload payload;
    payload.estimate.id = id;
    payload.footer = default_footer(id);
    payload.lines.resize(2);
    save_estimate_whole(db, payload);
    insert_estimate_copy(db, payload);
    payload.lines[1].catalog_item_id = 424242;
    EXPECT_THROW(save_estimate_whole(db, payload), DbError);
    EXPECT_EQ(read_estimate_lines(db, id).size(), 2u);
  });
  EXPECT_EQ(count("SELECT count(*) FROM estimates") + count("SELECT count(*) FROM estimate_lines"), 0);
}

}  // namespace
}  // namespace calcora
