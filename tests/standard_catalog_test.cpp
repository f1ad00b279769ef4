// The standard catalog: its compiled-in text, reading entry lines, combining entries of
// the same name, and seeding an empty catalog at start.
#include "store/standard_catalog.h"

#include <gtest/gtest.h>

#include <map>
#include <set>

#include "app/startup.h"
#include "store/seed.h"
#include "common/utf8_path.h"
#include "test_support.h"

namespace calcora {
namespace {

StandardEntry entry(std::string name, std::optional<std::string> unit, std::optional<double> price,
                    std::string line_type, std::string category) {
  return {std::move(name), std::move(unit), price, std::move(line_type), std::move(category)};
}

TEST(StandardCatalogText, HasTheThirteenSectionsAndTheStatedEntries) {
  const std::string_view text = embedded_standard_catalog_text();
  EXPECT_EQ(text.substr(0, text.find("\n\n")),
            "# Формат: название | единица | категория | тип | цена?\n"
            "# категории: work | material | equipment\n"
            "# типы: full | fixed | quantity_only\n"
            "# цена опциональна (ориентир, не норматив)");
  for (const char* sample :
       {"\nДемонтаж покрытий | м² | work | full | 180\n", "\nБетон М300 | м³ | material | full | 5500\n",
        "\nАренда экскаватора | смена | equipment | full | 18000\n",
        "\nВыезд специалиста | шт | work | fixed | 1500\n"})
    EXPECT_NE(text.find(sample), std::string_view::npos) << sample;

  // Sections in order, with the number of entry lines in each.
  const std::vector<std::pair<std::string, int>> expected_sections = {
      {"Демонтаж", 9},           {"Земляные / фундамент", 15},
      {"Кладка / общестрой", 7}, {"Кровля", 10},
      {"Окна / двери", 8},       {"Черновая отделка", 13},
      {"Чистовая отделка", 14},  {"Электрика", 29},
      {"Сантехника", 18},        {"Отопление", 6},
      {"Вентиляция", 4},         {"Техника / оборудование", 5},
      {"Разное / услуги", 3}};
  std::vector<std::pair<std::string, int>> sections;
  size_t pos = 0;
  while (pos < text.size()) {
    size_t eol = std::min(text.find('\n', pos), text.size());
    std::string_view line = text.substr(pos, eol - pos);
    pos = eol + 1;
    if (line.starts_with("# --- "))
      sections.emplace_back(line.substr(6, line.size() - 10), 0);
    else if (!line.empty() && !line.starts_with("#"))
      ++sections.back().second;
  }
  EXPECT_EQ(sections, expected_sections);

  const auto entries = parse_standard_catalog(text);
  ASSERT_EQ(entries.size(), 141u);
  std::map<std::string, int> categories, types;
  std::set<std::string> names;
  const std::set<std::string> units = {"шт",    "м²", "м³", "м",     "п.м.", "смена", "кг",
                                       "точка", "т",  "л",  "компл", "сут",  "рейс"};
  for (const auto& e : entries) {
    ++categories[e.category];
    ++types[e.line_type];
    names.insert(e.name);
    EXPECT_TRUE(e.unit && units.count(*e.unit)) << e.name;
    EXPECT_TRUE(e.price && *e.price > 0) << e.name;
  }
  EXPECT_EQ(categories, (std::map<std::string, int>{{"equipment", 6}, {"material", 40}, {"work", 95}}));
  EXPECT_EQ(types, (std::map<std::string, int>{{"fixed", 3}, {"full", 138}}));
  EXPECT_EQ(names.size(), 141u);
  EXPECT_EQ(combine_standard_entries(entries).size(), 141u);  // no two names equal ignoring case
}

TEST(StandardCatalogText, ReadsEntryLinesAndBareNames) {
  struct Case {
    const char* line;
    std::vector<StandardEntry> expected;
  };
  const std::vector<Case> cases = {
      {"Бетон М300 | м³ | material | full | 5500", {entry("Бетон М300", "м³", 5500, "full", "material")}},
      {"  Песок|м³|Материалы|ФИКС|1200,50  \r", {entry("Песок", "м³", 1200.5, "fixed", "material")}},
      {"Кран | смена | ТЕХНИКА | Фикс. сумма | 1 200,50", {entry("Кран", "смена", std::nullopt, "fixed", "equipment")}},
      {"Болт | | оборудование | без цены", {entry("Болт", std::nullopt, std::nullopt, "quantity_only", "equipment")}},
      {"Грунт | м³ | прочее | other | около 100 | лишнее", {entry("Грунт", "м³", std::nullopt, "full", "work")}},
      {"Вата | м³ | material | full | 1e3", {entry("Вата", "м³", 1000, "full", "material")}},
      {"Вата | м³ | material | full | inf", {entry("Вата", "м³", std::nullopt, "full", "material")}},
      {"Вата | м³ | material | full | +-5", {entry("Вата", "м³", std::nullopt, "full", "material")}},
      {" | м³ | material | full | 5", {}},
      {"Монтаж розеток", {entry("Монтаж розеток", std::nullopt, std::nullopt, "full", "work")}},
      {"Краска | л", {entry("Краска | л", std::nullopt, std::nullopt, "full", "material")}},
      {"Аренда экскаватора | смена | x",
       {entry("Аренда экскаватора | смена | x", std::nullopt, std::nullopt, "full", "equipment")}},
      {"# Бетон | м³ | material | full | 1", {}},
      {" \t ", {}},
  };
  for (const auto& c : cases) EXPECT_EQ(parse_standard_catalog(c.line), c.expected) << c.line;
  EXPECT_EQ(parse_standard_catalog("А | м | work | full\n\nБ | м | work | full").size(), 2u);
}

TEST(StandardEntries, CombineKeepsTheFirstSpellingAndTheMostCompleteData) {
  auto combined = combine_standard_entries({
      entry("Грунтовка", std::nullopt, 90, "full", "material"),
      entry("Щебень", "т", 2200, "full", "material"),
      entry("грунтовка", "л", std::nullopt, "full", "work"),  // lower score: fills the missing unit only
      entry("ЩЕБЕНЬ", "м³", 3000, "fixed", "material"),       // higher score: takes over type, unit and price
      entry("Арматура", std::nullopt, std::nullopt, "full", "material"),
      entry("арматура", std::nullopt, std::nullopt, "quantity_only", "material"),
      entry("Zinc", std::nullopt, std::nullopt, "full", "material"),
      entry("apple", std::nullopt, std::nullopt, "full", "material"),
  });
  const std::vector<StandardEntry> expected = {
      entry("apple", std::nullopt, std::nullopt, "full", "material"),
      entry("Zinc", std::nullopt, std::nullopt, "full", "material"),
      entry("Арматура", std::nullopt, std::nullopt, "quantity_only", "material"),
      entry("Грунтовка", "л", 90, "full", "work"),
      entry("Щебень", "м³", 3000, "fixed", "material"),
  };
  EXPECT_EQ(combined, expected);
}

TEST(Seeding, AFreshStartSeedsTheCompiledInCatalogOnce) {
  test::TempDir dir;
  int64_t kept_id = 0;
  {
    auto state = set_up_app_state(dir.path());
    state->with_db([&](Database& db) {
      auto count = db.prepare("SELECT COUNT(*), SUM(usage_count) FROM catalog_items");
      count.step();
      EXPECT_EQ(count.int64(0), 141);
      EXPECT_EQ(count.int64(1), 0);
      auto first = db.prepare(
          "SELECT id, name, unit, default_price, line_type, category FROM catalog_items "
          "WHERE name = 'Выезд специалиста'");
      ASSERT_TRUE(first.step());
      EXPECT_EQ(first.text(2), "шт");
      EXPECT_EQ(first.real(3), 1500);
      EXPECT_EQ(first.text(4), "fixed");
      kept_id = first.int64(0);
      db.prepare("DELETE FROM catalog_items WHERE id != ?1").bind(1, kept_id).run();
    });
  }
  // A catalog with one item left is the user's: the next start leaves it alone.
  auto state = set_up_app_state(dir.path());
  state->with_db([&](Database& db) {
    auto rest = db.prepare("SELECT COUNT(*), MIN(id) FROM catalog_items");
    rest.step();
    EXPECT_EQ(rest.int64(0), 1);
    EXPECT_EQ(rest.int64(1), kept_id);
  });
}

std::vector<StandardEntry> fake_workbook_reader(const std::filesystem::path& file) {
  if (file.filename() == "broken.xlsx") throw std::runtime_error("not a workbook");
  return {entry(path_utf8(file.stem()) + " позиция", "шт", 10, "full", "material")};
}

TEST(Seeding, ReadableExampleWorkbooksReplaceTheCompiledInCatalog) {
  test::TempDir dir;
  auto db = Database::open(dir / "calcora.db");
  auto examples = dir / "examples";
  std::filesystem::create_directories(examples);
  for (const char* file : {"broken.xlsx", "notes.txt", "upper.XLSX"}) std::ofstream(examples / file) << "x";

  // No readable workbook: the compiled-in list.
  seed_catalog(*db, examples, fake_workbook_reader);
  auto count = [&] {
    auto st = db->prepare("SELECT COUNT(*) FROM catalog_items");
    st.step();
    return st.int64(0);
  };
  EXPECT_EQ(count(), 141);

  std::ofstream(examples / utf8_path("прайс.xlsx")) << "x";
  seed_catalog(*db, examples, fake_workbook_reader);
  auto st = db->prepare("SELECT name, unit, default_price, category FROM catalog_items");
  ASSERT_TRUE(st.step());
  EXPECT_EQ(st.text(0), "прайс позиция");
  EXPECT_FALSE(st.step());

  EXPECT_TRUE(read_examples_dir(dir / "no-such-folder", fake_workbook_reader).empty());
}

}  // namespace
}  // namespace calcora
