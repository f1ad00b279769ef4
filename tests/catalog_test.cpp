// The catalog commands: filtering, saving as sent, article-number uniqueness, deleting.
#include <gtest/gtest.h>

#include "command_fixture.h"
#include "store/catalog_item.h"
#include "store/database.h"

namespace calcora {
namespace {

using test::names_of;
using Catalog = test::CommandTest;
using Names = std::vector<std::string>;

TEST_F(Catalog, ListFiltersIgnoringLetterCaseInEveryAlphabet) {
  for (const char* name : {"Бетон М300", "БЕТОН", "BETON", "Смесь", "a_b", "axb", "a%c"}) add_item(name);
  const Names all = {"BETON", "a%c", "a_b", "axb", "БЕТОН", "Бетон М300", "Смесь"};  // code-point order
  struct Case {
    Json args;
    Names expected;
  };
  const Case cases[] = {
      {Json{{"query", nullptr}}, all},     {Json::object(), all},
      {Json{{"query", " \t "}}, all},      {Json{{"query", "  бетон  "}}, {"БЕТОН", "Бетон М300"}},
      {Json{{"query", "bet"}}, {"BETON"}}, {Json{{"query", "М3"}}, {"Бетон М300"}},
      {Json{{"query", "%"}}, all},         {Json{{"query", "a_"}}, {"a%c", "a_b", "axb"}},  // "_" is any one character
      {Json{{"query", "нет такого"}}, {}},
  };
  for (const auto& c : cases) EXPECT_EQ(names_of(call("list_catalog", c.args)), c.expected) << c.args.dump();
  EXPECT_EQ(names_of(call("search_catalog", Json{{"query", "БеТ"}})), (Names{"БЕТОН", "Бетон М300"}));
  EXPECT_EQ(fail("search_catalog", Json::object()), "command search_catalog missing required key query");
}

TEST_F(Catalog, FilteredListStopsAtFiftyButTheWholeListDoesNot) {
  for (int i = 0; i < 60; ++i) add_item("Позиция " + std::to_string(i));
  EXPECT_EQ(call("list_catalog", Json{{"query", " позиция "}}).size(), 50u);
  EXPECT_EQ(call("list_catalog", Json{{"query", "   "}}).size(), 60u);
}

// The list is written row by row as text; it must read exactly as the items' records dumped
// as a document would, for every kind of text and number a row can hold.
TEST_F(Catalog, ListTextIsTheRecordsDumpedAsADocument) {
  const std::string names[] = {
      "Кран \"Шаровой\" 1/2\"", "C:\\путь\\к", "таб\tперевод\nстроки\x01\x1f\x7f", "Плитка 😀 𝔸",
      "битый \xD0 и \xFF\xFE текст", "обрыв в конце \xE2\x80", "", "Ёж 3×1,5 № 2 — «ВВГ»",
  };
  state.with_db([&](Database& db) {
    auto insert = db.prepare(
        "INSERT INTO catalog_items (name, unit, default_price, line_type, category, usage_count, last_used, sku, "
        "cost_price) VALUES (?1, ?2, ?3, 'fixed', 'material', ?4, ?5, ?6, ?7)");
    const double prices[] = {0.1 + 0.2, 1e21, 1e-7, -0.0, 80.5, 3.0, 123456789.125, 1.0 / 3};
    for (size_t i = 0; i < std::size(names); ++i) {
      insert.bind_all(names[i], i % 2 ? std::optional<std::string>("м\"²") : std::nullopt, prices[i],
                      static_cast<int64_t>(i * 1000), i % 3 ? std::optional<std::string>("2026-01-02") : std::nullopt,
                      i % 2 ? std::nullopt : std::optional<std::string>("SKU-\\" + std::to_string(i)),
                      i % 2 ? std::optional<double>(prices[i] / 7) : std::nullopt)
          .run();
    }
    // Non-finite and oversized values that only a damaged or foreign file can hold.
    db.exec("INSERT INTO catalog_items (name, category, default_price, usage_count) "
            "VALUES ('бесконечность', 'work', 9e999, 4294967297)");
  });
  const Json args[] = {Json::object(), Json{{"query", "кран"}}, Json{{"query", "нет такого"}}};
  for (const auto& a : args) {
    const std::string expected = state.with_db([&](Database& db) {
      std::string sql = "SELECT " + catalog_columns() + " FROM catalog_items";
      if (a.contains("query")) sql += " WHERE lower(name) LIKE '%' || ?1 || '%'";
      auto st = db.prepare(sql + " ORDER BY name");
      if (a.contains("query")) st.bind(1, a["query"].get<std::string>());
      Json items = Json::array();
      while (st.step()) items.push_back(to_json(read_catalog_item(st)));
      return items.dump(-1, ' ', false, Json::error_handler_t::replace);
    });
    auto outcome = dispatcher.dispatch("list_catalog", a);
    ASSERT_TRUE(outcome.ok) << outcome.body;
    EXPECT_EQ(outcome.body, expected) << a.dump();
  }
  EXPECT_EQ(call("list_catalog").size(), std::size(names) + 1);
}

TEST_F(Catalog, SaveStoresTheItemAsSentAndKeepsUsageOnUpdate) {
  Json saved = call("save_catalog_item", Json{{"item", {{"name", " Кладка "}, {"category", "work"}, {"unit", "м³"}}}});
  ASSERT_TRUE(saved["id"].is_number_integer());
  EXPECT_EQ(saved.dump(), Json({{"id", saved["id"]},
                                {"name", " Кладка "},
                                {"unit", "м³"},
                                {"default_price", nullptr},
                                {"line_type", "full"},
                                {"category", "work"},
                                {"usage_count", 0},
                                {"last_used", nullptr},
                                {"sku", nullptr},
                                {"cost_price", nullptr}})
                              .dump());
  EXPECT_EQ(call("get_catalog_item", Json{{"id", saved["id"]}}), saved);

  const int64_t id = saved["id"];
  state.with_db([&](Database& db) { db.exec("UPDATE catalog_items SET usage_count = 7, last_used = 'x'"); });
  Json edited = {{"id", id},
                 {"name", "Кладка кирпича"},
                 {"unit", nullptr},
                 {"default_price", 5500.5},
                 {"line_type", "fixed"},
                 {"category", "work"},
                 {"usage_count", 0},
                 {"last_used", nullptr},
                 {"sku", "K-1"},
                 {"cost_price", 4000}};
  EXPECT_EQ(call("save_catalog_item", Json{{"item", edited}}), edited);
  Json stored = call("get_catalog_item", Json{{"id", id}});
  EXPECT_EQ(stored["name"], "Кладка кирпича");
  EXPECT_EQ(stored["unit"], nullptr);
  EXPECT_EQ(stored["default_price"], 5500.5);
  EXPECT_EQ(stored["usage_count"], 7);
  EXPECT_EQ(stored["last_used"], "x");
  // The full-text index follows the rename.
  EXPECT_EQ(names_of(call("search_memory", Json{{"query", "кирп"}})), Names{"Кладка кирпича"});

  // An id without a row updates nothing and is no error.
  edited["id"] = id + 100;
  EXPECT_EQ(call("save_catalog_item", Json{{"item", edited}}), edited);
  EXPECT_EQ(count("SELECT COUNT(*) FROM catalog_items"), 1);
}

TEST_F(Catalog, BadItemsAndUnknownIdsAreRefusedWithTheirOwnTexts) {
  EXPECT_EQ(fail("save_catalog_item", Json{{"item", {{"name", "Без категории"}}}}),
            "invalid args `item` for command `save_catalog_item`: missing field `category`");
  EXPECT_EQ(fail("save_catalog_item", Json{{"item", {{"category", "work"}}}}),
            "invalid args `item` for command `save_catalog_item`: missing field `name`");
  EXPECT_EQ(fail("save_catalog_item", Json{{"item", {{"name", "x"}, {"category", "work"}, {"usage_count", 1.5}}}}),
            "invalid args `item` for command `save_catalog_item`: invalid type: floating point `1.5`, expected i32");
  EXPECT_EQ(count("SELECT COUNT(*) FROM catalog_items"), 0);
  EXPECT_EQ(fail("get_catalog_item", Json{{"id", 42}}), "Query returned no rows");
  EXPECT_EQ(fail("get_catalog_item", Json{{"id", "42"}}),
            "invalid args `id` for command `get_catalog_item`: invalid type: string \"42\", expected i64");
}

TEST_F(Catalog, ArticleNumbersAreUniqueOnlyWhenNotEmpty) {
  auto save = [&](const Json& sku) {
    return dispatcher.dispatch("save_catalog_item",
                               Json{{"item", {{"name", "x"}, {"category", "material"}, {"sku", sku}}}});
  };
  EXPECT_TRUE(save("A-1").ok);
  auto taken = save("A-1");
  EXPECT_FALSE(taken.ok);
  EXPECT_EQ(taken.body, "UNIQUE constraint failed: catalog_items.sku");
  for (const Json& free_sku : {Json(""), Json(""), Json(nullptr), Json(nullptr)}) EXPECT_TRUE(save(free_sku).ok);
  EXPECT_EQ(count("SELECT COUNT(*) FROM catalog_items"), 5);

  // Taking another item's number on update fails too and changes nothing.
  Json other = call("save_catalog_item", Json{{"item", {{"name", "y"}, {"category", "work"}, {"sku", "B-2"}}}});
  other["sku"] = "A-1";
  EXPECT_EQ(fail("save_catalog_item", Json{{"item", other}}), "UNIQUE constraint failed: catalog_items.sku");
  EXPECT_EQ(call("get_catalog_item", Json{{"id", other["id"]}})["sku"], "B-2");
}

TEST_F(Catalog, DeleteKeepsTheLinesMadeFromTheItemButUnlinksThem) {
  const int64_t id = add_item("Бетон М300", "material");
  state.with_db([&](Database& db) {
    db.exec("INSERT INTO estimates (id, object_name, created_at, updated_at) VALUES (1, 'Дом', 'a', 'a')");
    db.prepare(
          "INSERT INTO estimate_lines (estimate_id, name, unit, unit_price, catalog_item_id) "
          "VALUES (1, 'Бетон М300', 'м³', 5500, ?1)")
        .bind(1, id)
        .run();
  });
  // A refused delete leaves the link in place: the item is still there.
  state.with_db([](Database& db) {
    db.exec("CREATE TRIGGER refuse BEFORE DELETE ON catalog_items BEGIN SELECT RAISE(ABORT, 'refused'); END");
  });
  EXPECT_EQ(fail("delete_catalog_item", Json{{"id", id}}), "refused");
  EXPECT_EQ(count("SELECT catalog_item_id FROM estimate_lines"), id);
  state.with_db([](Database& db) { db.exec("DROP TRIGGER refuse"); });

  EXPECT_EQ(call("delete_catalog_item", Json{{"id", id}}), nullptr);
  EXPECT_EQ(count("SELECT COUNT(*) FROM catalog_items"), 0);
  EXPECT_EQ(count("SELECT COUNT(*) FROM estimate_lines WHERE catalog_item_id IS NULL AND name = 'Бетон М300' AND "
                  "unit = 'м³' AND unit_price = 5500"),
            1);
  EXPECT_EQ(call("delete_catalog_item", Json{{"id", 999}}), nullptr);
}

}  // namespace
}  // namespace calcora
