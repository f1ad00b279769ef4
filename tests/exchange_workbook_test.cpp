// The estimate workbook: its fixed form, the number run below the footer block, the one-step
// write, and LibreOffice computing the formulas to the same grand total as the program.
#include <gtest/gtest.h>

#include <regex>

#include "exchange/cell_values.h"
#include "exchange/sheet_numbers.h"
#include "exchange/xlsx_reader.h"
#include "exchange_support.h"
#include "scoped_env.h"

namespace calcora {
namespace {

Json full(const char* name, const char* unit, double qty, double price, const char* category = "work") {
  return {{"line_type", "full"}, {"name", name},        {"unit", unit},
          {"quantity", qty},     {"unit_price", price}, {"category", category}};
}

std::vector<std::string> column_a_numbers(const SheetArea& area, size_t from_row) {
  std::vector<std::string> out;
  for (size_t r = from_row; r < area.row_count(); ++r)
    if (auto t = cell_text(area.at(r, 0))) out.push_back(*t);
  return out;
}

TEST(EstimateWorkbook, FixedFormOfTheExample) {
  test::AppFixture app;
  Json lines = Json::array({full("Штукатурка", "м²", 2, 100),
                            full("Розетка", "шт", 3, 50),
                            {{"line_type", "fixed"}, {"name", "Вывоз"}, {"fixed_total", 1200}},
                            {{"line_type", "fixed"}, {"name", ""}},
                            {{"line_type", "quantity_only"}, {"name", "Кабель"}, {"unit", "м"}, {"quantity", 7}},
                            {{"line_type", "section"}, {"name", "Электрика"}}});
  Json saved = app.make_estimate("Дача", lines);
  const auto path = app.dir / "дача.xlsx";
  app.call("export_estimate_xlsx", {{"id", saved["estimate"]["id"]}, {"path", path.string()}});

  const std::string book = test::read_zip_entry(path, "xl/workbook.xml");
  const size_t s1 = book.find("name=\"Лист1\""), s2 = book.find("name=\"Лист2\""), s3 = book.find("name=\"Лист3\"");
  EXPECT_TRUE(s1 < s2 && s2 < s3 && s3 != std::string::npos) << book;
  const std::string xml = test::read_zip_entry(path, "xl/worksheets/sheet1.xml");
  for (const char* part : {R"(<col min="1" max="1" width="3.7109375" customWidth="1"/>)",
                           R"(<col min="2" max="2" width="40.7109375" customWidth="1"/>)",
                           R"(<col min="6" max="6" width="12.7109375" customWidth="1"/>)", "<f>D3*$E$3</f><v>200</v>",
                           "<f>D8*$E$8</f>", "<f>SUM(F9:F11)</f>"})
    EXPECT_NE(xml.find(part), std::string::npos) << part;
  EXPECT_EQ(test::read_zip_entry(path, "xl/worksheets/sheet2.xml").find("<c "), std::string::npos);
  const std::string styles = test::read_zip_entry(path, "xl/styles.xml");
  EXPECT_NE(styles.find("<b/>"), std::string::npos);

  SheetArea area = read_first_sheet(path);
  EXPECT_EQ(cell_text(area.at(0, 1)), "Дача");
  const char* headers[] = {"№", "Наименование\u00A0работ\u00A0", "Ед.изм.", "Объем работ", "Стоимость", "Сумма"};
  for (size_t c = 0; c < 6; ++c) EXPECT_EQ(cell_text(area.at(1, c)), headers[c]);
  // Row by row: A..F as text, "-" for an empty cell.
  const std::vector<std::vector<std::string>> expected = {
      // Formula cells carry the value they compute to, for readers that show stored results.
      {"1", "Штукатурка", "м²", "2", "100", "200"}, {"2", "Розетка", "шт", "3", "50", "150"},
      {"3", "Вывоз", "-", "-", "-", "1200"},      {"4", "-", "-", "-", "-", "-"},  // an empty name is a blank cell
      {"5", "Кабель", "м", "7", "-", "0"},        {"6", "Электрика", "-", "-", "-", "0"},
      {"-", "-", "-", "-", "Работы", "1550"},     {"-", "-", "-", "-", "Материалы", "0"},
      {"-", "-", "-", "-", "Техника", "0"},       {"-", "-", "-", "-", "Общий итог", "1550"},
  };
  for (size_t r = 0; r < expected.size(); ++r)
    for (size_t c = 0; c < 6; ++c)
      EXPECT_EQ(cell_text(area.at(r + 2, c)).value_or("-"), expected[r][c]) << "row " << r + 3 << " col " << c;
  auto run = column_a_numbers(area, 12);
  ASSERT_EQ(run.size(), 80u - 11 + 1);
  EXPECT_EQ(run.front(), "11");
  EXPECT_EQ(run.back(), "80");
}

// Every number of the sheet, cells and stored formula results alike, is the shortest text of the
// value rounded to 15 significant digits: the writer's own 16 digits show binary noise.
TEST(EstimateWorkbook, NumbersAreWrittenAsSpreadsheetsShowThem) {
  test::AppFixture app;
  Json lines = Json::array({full("Грунт", "м³", 9250223.711063, 1), full("Стены", "м²", 19.35 * 1.1, 1),
                            {{"line_type", "fixed"}, {"name", "Кран"}, {"fixed_total", 67243609.2028934}},
                            full("Плитка", "м²", 0.1 + 0.2, 909335199.047867)});
  Json saved = app.make_estimate("Дом", lines);
  const auto path = app.dir / "дом.xlsx";
  app.call("export_estimate_xlsx", {{"id", saved["estimate"]["id"]}, {"path", path.string()}});
  const std::string xml = test::read_zip_entry(path, "xl/worksheets/sheet1.xml");
  for (const char* part : {"<v>9250223.711063</v>", "<v>21.285</v>", "<v>67243609.2028934</v>", "<v>0.3</v>",
                           "<v>909335199.047867</v>", "<f>D6*$E$6</f><v>272800559.71436</v>"})
    EXPECT_NE(xml.find(part), std::string::npos) << part;
  const std::regex sixteen_digits(R"(<v>-?(\d\.?){16,}</v>)");
  EXPECT_FALSE(std::regex_search(xml, sixteen_digits));
  // The values read back as written.
  SheetArea area = read_first_sheet(path);
  EXPECT_EQ(cell_text(area.at(2, 3)), "9250223.711063");
}

TEST(SheetNumbers, OnlyNumberCellsAreRewritten) {
  struct Case {
    const char* xml;
    const char* expected;
  };
  const Case cases[] = {
      {R"(<c r="D3"><v>9250223.711062999</v></c>)", R"(<c r="D3"><v>9250223.711063</v></c>)"},
      {R"(<c r="D3" s="1" t="n"><v>1E+20</v></c>)", R"(<c r="D3" s="1" t="n"><v>100000000000000000000</v></c>)"},
      {R"(<c r="F3"><f>D3*$E$3</f><v>49.50000000000001</v></c>)", R"(<c r="F3"><f>D3*$E$3</f><v>49.5</v></c>)"},
      // Shared strings, formula strings, empty cells and what is no number stay as they are.
      {R"(<c r="B3" t="s"><v>12.30000000000001</v></c>)", R"(<c r="B3" t="s"><v>12.30000000000001</v></c>)"},
      {R"(<c r="B3" t="str"><f>A1</f><v>1.0</v></c>)", R"(<c r="B3" t="str"><f>A1</f><v>1.0</v></c>)"},
      {R"(<c r="B3" s="2"/><c r="C3"><v>x</v></c>)", R"(<c r="B3" s="2"/><c r="C3"><v>x</v></c>)"},
      {R"(<cols><col min="1" width="3.7109375"/></cols>)", R"(<cols><col min="1" width="3.7109375"/></cols>)"},
  };
  for (const auto& c : cases) EXPECT_EQ(shorten_sheet_numbers(c.xml), c.expected) << c.xml;
}

TEST(EstimateWorkbook, NumberRunAndOptionalFooterRows) {
  test::AppFixture app;
  const std::string extras = R"([{"label":"Вывоз мусора","amount":5000},{"amount":300,"enabled":false},)"
                             R"({"label":7,"amount":"x"}])";
  struct Case {
    int lines;
    Json footer;
    std::vector<std::string> labels;  // column E below the lines
    std::string first_run;            // "" when there is no run
  };
  const Case cases[] = {
      {76, Json::object(), {"Работы", "Материалы", "Техника", "Общий итог"}, ""},
      {75, Json::object(), {"Работы", "Материалы", "Техника", "Общий итог"}, "80"},
      {0,
       {{"show_delivery", true},
        {"delivery", 3000},
        {"markup_formula", " 10 "},
        {"show_advance", true},
        {"advance", 30000},
        {"extras_json", extras}},
       {"Работы", "Материалы", "Техника", "Доставка", "Вывоз мусора", "Доп. сумма", "Наценка", "Общий итог", "Аванс",
        "Остаток"},
       "9"},
      {0,
       {{"delivery", 3000}, {"markup_formula", "  "}, {"extras_json", "not json"}},
       {"Работы", "Материалы", "Техника", "Общий итог"},
       "5"},
  };
  for (const auto& c : cases) {
    Json lines = Json::array();
    for (int i = 0; i < c.lines; ++i) lines.push_back(full("Работа", "шт", 1, 1));
    Json saved = app.make_estimate("Смета", lines, c.footer);
    const auto path = app.dir / "run.xlsx";
    app.call("export_estimate_xlsx", {{"id", saved["estimate"]["id"]}, {"path", path.string()}});
    SheetArea area = read_first_sheet(path);
    std::vector<std::string> labels;
    size_t r = 2 + static_cast<size_t>(c.lines);
    for (; r < area.row_count() && cell_text(area.at(r, 4)); ++r) labels.push_back(*cell_text(area.at(r, 4)));
    EXPECT_EQ(labels, c.labels) << c.lines;
    auto run = column_a_numbers(area, r);
    EXPECT_EQ(run.empty() ? "" : run.front(), c.first_run) << c.lines;
    if (!run.empty()) {
      EXPECT_EQ(run.back(), "80");
    }
  }
}

TEST(EstimateWorkbook, LibreOfficeComputesTheSameGrandTotal) {
  if (!test::have_soffice()) GTEST_SKIP() << "soffice is not installed";
  test::AppFixture app;
  Json lines = Json::array({full("Монтаж розеток", "шт", 12, 350.5),
                            full("Кабель ВВГ", "м", 48.5, 80.1, "material"),
                            full("Аренда вышки", "смена", 1.5, 4000, "equipment"),
                            {{"line_type", "fixed"}, {"name", "Вывоз мусора"}, {"fixed_total", 3000}}});
  Json footer = {{"show_materials", true},
                 {"materials", 500},
                 {"show_delivery", true},
                 {"delivery", 1200},
                 {"markup_formula", "работы * 0.1"},
                 {"show_advance", true},
                 {"advance", 10000},
                 {"extras_json", R"([{"label":"Подъём","amount":700}])"}};
  Json saved = app.make_estimate("Квартира", lines, footer);
  const auto path = app.dir / "peer.xlsx";
  app.call("export_estimate_xlsx", {{"id", saved["estimate"]["id"]}, {"path", path.string()}});
  // Recomputed by LibreOffice, and as a customer with default settings sees it (the stored results).
  for (bool recalculate : {true, false}) {
    SCOPED_TRACE(recalculate ? "recomputed on loading" : "default settings");
    auto csv = test::soffice_convert(path, "--convert-to 'csv:Text - txt - csv (StarCalc):44,34,76,1'",
                                     app.dir / (recalculate ? "lo-recalc" : "lo-default"), "csv", recalculate);
    ASSERT_TRUE(csv) << "LibreOffice did not convert the workbook";
    auto rows = test::parse_csv(test::read_text(*csv), ',');
    ASSERT_GT(rows.size(), 16u);
    const double sums[] = {12 * 350.5, 48.5 * 80.1, 1.5 * 4000, 3000};
    for (size_t i = 0; i < 4; ++i) EXPECT_NEAR(std::stod(rows[2 + i][5]), sums[i], 1e-6) << i;
    double grand = 0, remainder = 0;
    for (const auto& row : rows) {
      if (row.size() > 5 && row[4] == "Общий итог") grand = std::stod(row[5]);
      if (row.size() > 5 && row[4] == "Остаток") remainder = std::stod(row[5]);
    }
    const double works = 12 * 350.5 + 3000;
    const double native_grand = works + (48.5 * 80.1 + 500) + 6000 + 1200 + 700 + works * 0.1;
    EXPECT_NEAR(grand, native_grand, 1e-6);
    EXPECT_NEAR(remainder, native_grand - 10000, 1e-6);
  }
}

TEST(EstimateWorkbook, FailuresLeaveNoTemporaryFiles) {
  test::AppFixture app;
  Json saved = app.make_estimate("Смета", Json::array({full("Работа", "шт", 1, 1)}));
  // A temporary folder of this test's own: tests running beside it write their books too.
  const auto temp = app.dir / "temp";
  std::filesystem::create_directories(temp);
  test::ScopedEnv env;
  for (const char* name : {"TMPDIR", "TMP", "TEMP"}) env.set(name, path_utf8(temp));
  auto temp_books = [&] {
    int n = 0;
    for (const auto& e : std::filesystem::directory_iterator(temp))
      n += e.path().filename().string().rfind("calcora-book-", 0) == 0;
    return n;
  };
  std::string error = app.fail(
      "export_estimate_xlsx", {{"id", saved["estimate"]["id"]}, {"path", path_utf8(app.dir.path() / utf8_path("нет/такой/папки.xlsx"))}});
  EXPECT_EQ(error, test::missing_folder_error());
  EXPECT_EQ(app.fail("export_estimate_xlsx", {{"id", 999}, {"path", (app.dir / "x.xlsx").string()}}),
            "Query returned no rows");
  EXPECT_FALSE(std::filesystem::exists(app.dir / "x.xlsx"));
  EXPECT_EQ(temp_books(), 0);
}

}  // namespace
}  // namespace calcora
