// The name memory: suggestions, counting uses of names, merging the standard catalog.
#include <gtest/gtest.h>

#include <cctype>

#include "catalog_fixture.h"
#include "store/catalog_text.h"
#include "store/memory_store.h"

namespace calcora {
namespace {

using test::names_of;
using Memory = test::CatalogFixture;
using Names = std::vector<std::string>;

// "2026-12-10T05:26:50Z": digits where the form has zeros, the rest verbatim.
bool is_time_stamp(const std::string& text) {
  const std::string form = "0000-00-00T00:00:00Z";
  if (text.size() != form.size()) return false;
  for (size_t i = 0; i < form.size(); ++i)
    if (form[i] == '0' ? !std::isdigit(static_cast<unsigned char>(text[i])) : text[i] != form[i]) return false;
  return true;
}

Json search(test::CatalogFixture& f, const std::string& query) {
  return f.call("search_memory", Json{{"query", query}});
}

TEST(MemoryMatchExpression, QuotedPrefixTermsJoinedByAnd) {
  EXPECT_EQ(memory_match_expression("  бетон \t м3 "), R"("бетон"* AND "м3"*)");
  EXPECT_EQ(memory_match_expression("б"), R"("б"*)");  // one Cyrillic letter is two bytes
  EXPECT_EQ(memory_match_expression(R"(дюбель 6")"), R"("дюбель"* AND "6"""*)");
  EXPECT_EQ(memory_match_expression(" b "), std::nullopt);
  EXPECT_EQ(memory_match_expression(""), std::nullopt);
}

TEST_F(Memory, SearchFindsWordPrefixesInAnyCaseBestFirst) {
  for (const char* name : {"Смесь бетонная", "Бетон М300", "Бетонирование фундамента", "Кладка кирпича", "BETON"})
    add_item(name);
  EXPECT_EQ(names_of(search(*this, "бет смес")), Names{"Смесь бетонная"});
  EXPECT_EQ(names_of(search(*this, "  БЕТОН м3 ")), Names{"Бетон М300"});
  EXPECT_EQ(names_of(search(*this, "к")), Names{"Кладка кирпича"});
  EXPECT_EQ(search(*this, "b"), Json::array());
  EXPECT_EQ(names_of(search(*this, "beto")), Names{"BETON"});
  // Quotes typed by the user are searched for, not taken as syntax.
  EXPECT_EQ(search(*this, R"(бетон")"), search(*this, "бетон"));
  EXPECT_EQ(search(*this, R"("")"), Json::array());
  EXPECT_EQ(search(*this, R"(" OR *)"), Json::array());
}

TEST_F(Memory, SearchReturnsAtMostFiveAndTheMoreUsedFirstAmongEquals) {
  add_item("Плитка", "material", 1);
  add_item("Плитка", "material", 9);
  for (int i = 0; i < 8; ++i) add_item("Плитка керамическая " + std::to_string(i));
  Json found = search(*this, "плит");
  ASSERT_EQ(found.size(), 5u);
  EXPECT_EQ(found[0]["usage_count"], 9);  // the two short names rank best and tie
  EXPECT_EQ(found[1]["usage_count"], 1);
}

TEST_F(Memory, KnownNameCountsAUseAndUpdatesOnlyWhenAsked) {
  Json stored =
      call("save_catalog_item",
           Json{{"item", {{"name", "Кладка кирпича"}, {"unit", "м³"}, {"default_price", 5500}, {"category", "work"}}}});
  Json used = call("save_to_global_memory", Json{{"name", "  кладка КИРПИЧА  "}, {"unit", nullptr}});
  EXPECT_EQ(used["id"], stored["id"]);
  EXPECT_EQ(used["name"], "Кладка кирпича");
  EXPECT_EQ(used["unit"], "м³");
  EXPECT_EQ(used["default_price"], 5500);
  EXPECT_EQ(used["usage_count"], 1);
  EXPECT_TRUE(is_time_stamp(used["last_used"].get<std::string>())) << used["last_used"];

  used = call("save_to_global_memory", Json{{"name", "Кладка кирпича"},
                                            {"price", nullptr},
                                            {"lineType", "fixed"},
                                            {"category", "material"},
                                            {"updatePrice", true}});
  EXPECT_EQ(used["usage_count"], 2);
  EXPECT_EQ(used["default_price"], nullptr);
  EXPECT_EQ(used["unit"], nullptr);
  EXPECT_EQ(used["line_type"], "fixed");
  EXPECT_EQ(used["category"], "material");

  used = call("save_to_global_memory",
              Json{{"name", "Кладка кирпича"}, {"price", 1}, {"lineType", "full"}, {"updatePrice", nullptr}});
  EXPECT_EQ(used["usage_count"], 3);
  EXPECT_EQ(used["default_price"], nullptr);
  EXPECT_EQ(used["line_type"], "fixed");
  EXPECT_EQ(scalar("SELECT COUNT(*) FROM catalog_items"), 1);
}

TEST_F(Memory, NewNameIsStoredTrimmedWithOneUseAndAGuessedCategory) {
  struct Case {
    Json category;
    const char* name;
    const char* expected;
  };
  const Case cases[] = {
      {nullptr, "  Монтаж крана ", "equipment"},
      {"  ", "Штукатурка стен", "work"},
      {" material ", "Монтаж окон", "material"},
      {nullptr, "Гофра d20", "material"},
  };
  for (const auto& c : cases) {
    Json added =
        call("save_to_global_memory", Json{{"name", c.name}, {"unit", "м"}, {"price", 18.5}, {"category", c.category}});
    EXPECT_EQ(added["name"], std::string(trim_space(c.name)));
    EXPECT_EQ(added["category"], c.expected) << c.name;
    EXPECT_EQ(added["usage_count"], 1);
    EXPECT_EQ(added["line_type"], "full");
    EXPECT_EQ(added["unit"], "м");
    EXPECT_EQ(added["default_price"], 18.5);
  }
  EXPECT_EQ(scalar("SELECT COUNT(*) FROM catalog_items WHERE created_at = last_used AND updated_at = last_used"), 4);
}

TEST_F(Memory, BadArgumentsWriteNothing) {
  EXPECT_EQ(call_error("save_to_global_memory", Json{{"name", " \t "}}), "Invalid parameter name: empty name");
  EXPECT_EQ(call_error("save_to_global_memory", Json{{"name", "x"}, {"price", "5"}}),
            "invalid args `price` for command `save_to_global_memory`: invalid type: string \"5\", expected f64");
  EXPECT_EQ(call_error("save_to_global_memory", Json::object()),
            "command save_to_global_memory missing required key name");
  EXPECT_EQ(scalar("SELECT COUNT(*) FROM catalog_items"), 0);
}

TEST_F(Memory, MergeAddsOnlyMissingStandardNamesAndNeverChangesExistingOnes) {
  const int64_t own = add_item("бетон м300", "work");
  EXPECT_EQ(call("merge_standard_catalog_cmd"), 140);
  EXPECT_EQ(scalar("SELECT COUNT(*) FROM catalog_items WHERE lower(name) = 'бетон м300'"), 1);
  EXPECT_EQ(call("get_catalog_item", Json{{"id", own}})["category"], "work");
  EXPECT_EQ(call("merge_standard_catalog_cmd"), 0);
  EXPECT_EQ(scalar("SELECT COUNT(*) FROM catalog_items"), 141);
}

}  // namespace
}  // namespace calcora
