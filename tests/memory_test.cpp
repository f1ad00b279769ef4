// The name memory: suggestions, counting uses of names, merging the standard catalog.
#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <map>

#include "command_fixture.h"
#include "store/catalog_text.h"
#include "store/memory_store.h"
#include "store/unicode_lower.h"

namespace calcora {
namespace {

using test::names_of;
using Memory = test::CommandTest;
using Names = std::vector<std::string>;

// "2026-12-10T05:26:50Z": digits where the form has zeros, the rest verbatim.
bool is_time_stamp(const std::string& text) {
  const std::string form = "0000-00-00T00:00:00Z";
  if (text.size() != form.size()) return false;
  for (size_t i = 0; i < form.size(); ++i)
    if (form[i] == '0' ? !std::isdigit(static_cast<unsigned char>(text[i])) : text[i] != form[i]) return false;
  return true;
}

std::string utf8(char32_t c) {
  if (c < 0x80) return std::string(1, static_cast<char>(c));
  if (c < 0x800) return {static_cast<char>(0xC0 | (c >> 6)), static_cast<char>(0x80 | (c & 0x3F))};
  if (c < 0x10000)
    return {static_cast<char>(0xE0 | (c >> 12)), static_cast<char>(0x80 | ((c >> 6) & 0x3F)),
            static_cast<char>(0x80 | (c & 0x3F))};
  return {static_cast<char>(0xF0 | (c >> 18)), static_cast<char>(0x80 | ((c >> 12) & 0x3F)),
          static_cast<char>(0x80 | ((c >> 6) & 0x3F)), static_cast<char>(0x80 | (c & 0x3F))};
}

Json search(test::CommandTest& f, const std::string& query) { return f.call("search_memory", Json{{"query", query}}); }

TEST(MemoryMatchExpression, QuotedPrefixTermsJoinedByAnd) {
  EXPECT_EQ(memory_match_expression("  кирпич \t м3 "), R"("кирпич"* AND "м3"*)");
  EXPECT_EQ(memory_match_expression("Бетон м3"), R"(("Бетон"* OR "Бётон"*) AND "м3"*)");
  EXPECT_EQ(memory_match_expression("б"), R"("б"*)");  // one Cyrillic letter is two bytes
  EXPECT_EQ(memory_match_expression(R"(шуруп 6")"), R"("шуруп"* AND "6"""*)");
  EXPECT_EQ(memory_match_expression(" b "), std::nullopt);
  EXPECT_EQ(memory_match_expression(""), std::nullopt);
}

TEST(YeSpellings, EachYeLetterReadBothWaysTypedSpellingFirst) {
  using Spellings = std::vector<std::string>;
  EXPECT_EQ(ye_spellings("труба"), Spellings{"труба"});
  EXPECT_EQ(ye_spellings("Ёж"), (Spellings{"Ёж", "еж"}));
  EXPECT_EQ(ye_spellings("щетка"), (Spellings{"щетка", "щётка"}));
  EXPECT_EQ(ye_spellings("еЁ"), (Spellings{"еЁ", "ее", "ёЁ", "ёе"}));
  // Past five such letters the word stands for the prefix before the sixth.
  const auto long_word = ye_spellings("ееееееееж");
  EXPECT_EQ(long_word.size(), 32u);
  EXPECT_EQ(long_word.front(), "еееее");
  EXPECT_EQ(long_word.back(), "ёёёёё");
}

TEST_F(Memory, YoAndYeFindEachOtherInSuggestionsAndTheCatalogList) {
  for (const char* name : {"Ёмкость 200 л", "Емкость пластиковая", "Ёрш для труб", "Щётка стальная", "Щетка малярная",
                           "Грунт перемещённый", "Щётка для ёмкостей", "Трубка медная"})
    add_item(name);
  struct Case {
    const char* query;
    Names expected;  // in code-point order, as the catalog list gives them
  };
  const Case cases[] = {
      {"емкость", {"Ёмкость 200 л", "Емкость пластиковая"}},  // ё at the start, typed as е
      {"ЁМКОСТЬ", {"Ёмкость 200 л", "Емкость пластиковая"}},  // and the other way, in capitals
      {"ерш", {"Ёрш для труб"}},
      {"щетка", {"Щетка малярная", "Щётка для ёмкостей", "Щётка стальная"}},  // ё in the middle
      {"Щётка", {"Щетка малярная", "Щётка для ёмкостей", "Щётка стальная"}},
      {"перемещенн", {"Грунт перемещённый"}},       // several е and ё in one word
      {"ЩЕТКА для ЁМК", {"Щётка для ёмкостей"}},    // mixed spellings in one query
      {"труб", {"Ёрш для труб", "Трубка медная"}},  // no е at all: as before
  };
  auto sorted = [](Names names) {
    std::sort(names.begin(), names.end());
    return names;
  };
  for (const auto& c : cases) {
    EXPECT_EQ(sorted(names_of(search(*this, c.query))), c.expected) << "search_memory " << c.query;
    EXPECT_EQ(names_of(call("list_catalog", Json{{"query", c.query}})), c.expected) << "list_catalog " << c.query;
  }
  // The catalog filter's wildcards still work beside the folding.
  EXPECT_EQ(names_of(call("list_catalog", Json{{"query", "щ_тка с"}})), Names{"Щётка стальная"});
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

// The suggestions' score is the index's bm25 computed with the word counts joined in; it must
// tie and differ exactly where bm25 does, or the order of the list would change.
TEST_F(Memory, SuggestionOrderIsTheIndexBestMatchThenTheMostUsed) {
  const char* const words[] = {"Бетон", "бетонная", "смесь", "ёмкость", "емкость", "кабель", "3×1,5", "М300", "стен"};
  state.with_db([&](Database& db) {
    Transaction tx(db);
    // Names of one to six words in a row, some with their first word again (two hits of one term).
    for (int i = 0; i < 300; ++i) {
      std::string name = words[i % std::size(words)];
      for (int w = 1; w <= i % 6; ++w) name += std::string(" ") + words[(i + w) % std::size(words)];
      if (i % 5 == 0) name += std::string(" ") + words[i % std::size(words)];
      db.cached("INSERT INTO catalog_items (name, usage_count) VALUES (?1, ?2)").bind_all(name, i % 4).run();
    }
    tx.commit();
  });
  for (const char* query : {"бе", "бетон смесь", "емк", "ёмкость бет", "3×1,5 ст", "кабель кабель", "м3"}) {
    const std::string expression = *memory_match_expression(query);
    const Names expected = state.with_db([&](Database& db) {
      auto& differ = db.cached(
          "SELECT count(*), (SELECT count(*) FROM catalog_fts WHERE catalog_fts MATCH ?1) FROM catalog_fts f "
          "JOIN catalog_fts_docsize s ON s.id = f.rowid WHERE catalog_fts MATCH ?1 "
          "AND memory_rank(catalog_fts, s.sz) != bm25(catalog_fts)");
      differ.bind(1, expression);
      EXPECT_TRUE(differ.step());
      EXPECT_EQ(differ.int64(0), 0) << query;
      EXPECT_GT(differ.int64(1), 0) << query;
      differ.reset();
      auto& ranked = db.cached(
          "SELECT c.name FROM catalog_fts f JOIN catalog_items c ON c.id = f.rowid WHERE catalog_fts MATCH ?1 "
          "ORDER BY bm25(catalog_fts), c.usage_count DESC, c.id LIMIT 5");
      ranked.bind(1, expression);
      Names expected;
      while (ranked.step()) expected.push_back(ranked.text(0));
      ranked.reset();
      return expected;
    });
    EXPECT_EQ(names_of(search(*this, query)), expected) << query;
  }
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
  EXPECT_EQ(count("SELECT COUNT(*) FROM catalog_items"), 1);
}

TEST_F(Memory, KnownNameIsFoundByItsLowerCaseInEveryScript) {
  const int64_t plitka = add_item("Плитка");
  add_item("ПЛИТКА");  // the earlier of two equal names counts
  const int64_t cable = add_item("Кабель");
  add_item("Кабель ВВГ");
  const int64_t stone = add_item("İstanbul TAŞI");
  const int64_t road = add_item("ΟΔΟΣ");
  const int64_t georgian = add_item("ᲙᲐᲚᲘ");  // Georgian capitals: the index does not fold them
  const int64_t dash = add_item("—");                 // no word for the index at all
  const int64_t dowel = add_item(R"(Дюбель 6")");
  const int64_t yo = add_item("Ёмкость");
  const int64_t kelvin = add_item("Пакет 5 \u212Ag");  // the Kelvin sign lowers to k
  struct Case {
    const char* name;
    int64_t id;  // 0: a new item
  };
  const Case cases[] = {
      {"плитка", plitka},   {"кабель", cable},       {"i̇stanbul taşi", stone}, {"οδος", road}, {"კალი", georgian},
      {"—", dash},          {R"(ДЮБЕЛЬ 6")", dowel}, {"ёмкость", yo},          {"Емкость", 0}, {"Кабель ВВГ 3×1,5", 0},
      {"ПАКЕТ 5 KG", kelvin}, {"кабель ввг", cable + 1},
      {"İstanbul taşı", 0},  // ICU lowers I to i, not to the dotless ı
  };
  for (const auto& c : cases) {
    const int64_t id = call("save_to_global_memory", Json{{"name", c.name}})["id"];
    if (c.id)
      EXPECT_EQ(id, c.id) << c.name;
    else
      EXPECT_GT(id, kelvin) << c.name << " was taken for a known name";
  }
}

// The index narrows the search for a known name only where it reads words as lower() does:
// every upper-case letter whose lower case passes the check must give the same words.
TEST(IndexReadsLikeLowercase, HoldsForEveryCodePointItAccepts) {
  test::TempDir dir;
  auto db = Database::open_raw(dir / "words.db");
  db->exec(
      "CREATE VIRTUAL TABLE t USING fts5(name, tokenize='unicode61'); "
      "CREATE VIRTUAL TABLE words USING fts5vocab(t, 'instance')");
  auto insert = db->prepare("INSERT INTO t (rowid, name) VALUES (?1, ?2)");
  std::vector<std::pair<std::string, std::string>> pairs;  // upper, lower
  std::vector<std::string> alone;                          // letters and digits that must be a word
  for (char32_t c = 1; c < 0x110000; ++c) {
    if (c >= 0xD800 && c < 0xE000) continue;
    const std::string text = utf8(c);
    const std::string lower = unicode_lower(text);
    if (!index_reads_like_lowercase(lower)) continue;
    if (lower != text) pairs.emplace_back(text, lower);
    if (lower == text) alone.push_back(text);
  }
  int64_t row = 0;
  Transaction tx(*db);
  for (const auto& [upper, lower] : pairs) {
    insert.bind_all(++row, "x" + upper + "x").run();
    insert.bind_all(++row, "x" + lower + "x").run();
  }
  const int64_t first_alone = row + 1;
  for (const auto& text : alone) insert.bind_all(++row, text).run();
  tx.commit();
  std::map<int64_t, std::string> words;
  auto read = db->prepare("SELECT doc, term FROM words ORDER BY doc, offset");
  while (read.step()) words[read.int64(0)] += read.text(1) + " ";
  int mismatches = 0;
  for (int64_t r = 1; r < first_alone; r += 2)
    if (words[r] != words[r + 1] && ++mismatches < 10)
      ADD_FAILURE() << pairs[(r - 1) / 2].first << " reads as " << words[r] << "but its lower case as " << words[r + 1];
  for (int64_t r = first_alone; r <= row; ++r)
    if (words[r].empty() && ++mismatches < 10) ADD_FAILURE() << alone[r - first_alone] << " is no word for the index";
  EXPECT_EQ(mismatches, 0);
  EXPECT_GT(pairs.size(), 500u);  // Latin, Greek and Cyrillic capitals at least
}

// Names in Latin and Cyrillic letters are looked up spelling by spelling: the case forms given
// for each of their code points must be exactly the code points with the same lower case.
TEST(CaseSpellings, AreEveryCodePointWithTheSameLowerCase) {
  std::map<std::string, std::vector<std::string>> by_lower;
  for (char32_t c = 0; c < 0x110000; ++c)
    if (c < 0xD800 || c >= 0xE000) by_lower[unicode_lower(utf8(c))].push_back(utf8(c));
  std::map<std::string, bool> spelled;  // the lower case of every code point that has case forms
  for (char32_t c = 0; c < 0x110000; ++c) {
    const auto forms = case_spellings_per_code_point(utf8(c));
    if (!forms) continue;
    ASSERT_EQ(forms->size(), 1u);
    std::vector<std::string> given = forms->front(), expected = by_lower[unicode_lower(utf8(c))];
    EXPECT_EQ(given.front(), utf8(c));
    std::sort(given.begin(), given.end());
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(given, expected) << utf8(c);
    spelled[unicode_lower(utf8(c))] = true;
  }
  EXPECT_GT(spelled.size(), 128u - 26u + 48u);  // ASCII, the basic Cyrillic pairs and caseless signs
  EXPECT_TRUE(case_spellings_per_code_point("Кабель 3×1,5 № 2 — «ВВГ»"));
  // No code point lowers to several that the lookup would take one by one (İ lowers to i and a dot).
  for (const auto& [lower, code_points] : by_lower)
    if (!spelled.count(lower) && case_spellings_per_code_point(lower))
      ADD_FAILURE() << code_points.front() << " lowers to " << lower;
  EXPECT_FALSE(case_spellings_per_code_point("Ελιά"));
  EXPECT_FALSE(case_spellings_per_code_point("\xD0"));  // cut in the middle of a letter
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
  EXPECT_EQ(count("SELECT COUNT(*) FROM catalog_items WHERE created_at = last_used AND updated_at = last_used"), 4);
}

TEST_F(Memory, BadArgumentsWriteNothing) {
  EXPECT_EQ(fail("save_to_global_memory", Json{{"name", " \t "}}), "Invalid parameter name: empty name");
  EXPECT_EQ(fail("save_to_global_memory", Json{{"name", "x"}, {"price", "5"}}),
            "invalid args `price` for command `save_to_global_memory`: invalid type: string \"5\", expected f64");
  EXPECT_EQ(fail("save_to_global_memory", Json::object()), "command save_to_global_memory missing required key name");
  EXPECT_EQ(count("SELECT COUNT(*) FROM catalog_items"), 0);
}

TEST_F(Memory, ManyUsesAreCountedInOrderInOneCallOrNotAtAll) {
  const int64_t known = add_item("Кладка кирпича", "work");
  const Json ids = call("save_many_to_global_memory",
                        Json{{"entries", Json::array({Json{{"name", "кладка КИРПИЧА"}, {"unit", "м3"}},
                                                      Json{{"name", " Новая позиция "}, {"price", 120.0}},
                                                      Json{{"name", "новая ПОЗИЦИЯ"}, {"lineType", "fixed"}},
                                                      Json{{"name", "Кладка кирпича"}}})}});
  ASSERT_EQ(ids.size(), 4u);
  EXPECT_EQ(ids[0], known);
  EXPECT_EQ(ids[3], known);
  EXPECT_NE(ids[1], known);
  EXPECT_EQ(ids[2], ids[1]);  // a name added by an earlier entry is known to the later ones
  EXPECT_EQ(count("SELECT usage_count FROM catalog_items WHERE id = " + std::to_string(known)), 2);
  EXPECT_EQ(count("SELECT usage_count FROM catalog_items WHERE name = 'Новая позиция'"), 2);
  EXPECT_EQ(call("save_many_to_global_memory", Json{{"entries", Json::array()}}), Json::array());

  // One bad entry, wherever it stands, registers none: the page's save then fails and retries whole.
  EXPECT_EQ(fail("save_many_to_global_memory",
                 Json{{"entries", Json::array({Json{{"name", "Ещё одна"}}, Json{{"name", "Кладка кирпича"}}, Json{{"name", "  "}}})}}),
            "Invalid parameter name: empty name");
  EXPECT_EQ(fail("save_many_to_global_memory", Json{{"entries", Json::array({Json{{"name", "x"}, {"price", "5"}}})}}),
            "invalid args `price` for command `save_many_to_global_memory`: invalid type: string \"5\", expected f64");
  EXPECT_EQ(fail("save_many_to_global_memory", Json{{"entries", "Кладка"}}),
            "invalid args `entries` for command `save_many_to_global_memory`: expected a sequence");
  EXPECT_EQ(fail("save_many_to_global_memory", Json::object()),
            "command save_many_to_global_memory missing required key entries");
  EXPECT_EQ(count("SELECT usage_count FROM catalog_items WHERE id = " + std::to_string(known)), 2);
  EXPECT_EQ(count("SELECT COUNT(*) FROM catalog_items WHERE name = 'Ещё одна'"), 0);
}

TEST_F(Memory, MergeAddsOnlyMissingStandardNamesAndNeverChangesExistingOnes) {
  const int64_t own = add_item("бетон м300", "work");
  EXPECT_EQ(call("merge_standard_catalog_cmd"), 140);
  EXPECT_EQ(count("SELECT COUNT(*) FROM catalog_items WHERE lower(name) = 'бетон м300'"), 1);
  EXPECT_EQ(call("get_catalog_item", Json{{"id", own}})["category"], "work");
  EXPECT_EQ(call("merge_standard_catalog_cmd"), 0);
  EXPECT_EQ(count("SELECT COUNT(*) FROM catalog_items"), 141);
}

}  // namespace
}  // namespace calcora
