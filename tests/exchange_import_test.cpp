// Estimate import from workbooks: the program's own export read back, positions relative to the
// used area, the cell conversions, LibreOffice's workbooks, and failures that leave nothing behind.
#include <gtest/gtest.h>

#include <fstream>

#include "exchange/estimate_workbook_import.h"
#include "exchange/imported_estimate.h"
#include "exchange_support.h"

namespace calcora {
namespace {

// A sheet row from cell values: "s:text" is a shared-free inline string, anything else a number.
std::string row_xml(int r, const std::vector<std::pair<std::string, std::string>>& cells) {
  std::string xml = "<row r=\"" + std::to_string(r) + "\">";
  for (const auto& [ref, value] : cells) {
    if (value.rfind("s:", 0) == 0)
      xml += "<c r=\"" + ref + "\" t=\"inlineStr\"><is><t>" + value.substr(2) + "</t></is></c>";
    else
      xml += "<c r=\"" + ref + "\"><v>" + value + "</v></c>";
  }
  return xml + "</row>";
}

TEST(EstimateImport, ReadsBackTheProgramsOwnWorkbook) {
  test::AppFixture app;
  Json lines = Json::array(
      {{{"line_type", "full"},
        {"name", "Монтаж розеток"},
        {"unit", "м²"},
        {"quantity", 2},
        {"unit_price", 100},
        {"category", "material"}},
       {{"line_type", "quantity_only"}, {"name", "Кабель ВВГнг 3х2,5"}, {"unit", "м"}, {"quantity", 7}},
       {{"line_type", "fixed"}, {"name", "Аренда техники на смену"}, {"fixed_total", 1200}},
       {{"line_type", "section"}, {"name", "Кран шаровой"}}});
  Json saved = app.make_estimate(
      "Дача", lines, {{"show_materials", true}, {"materials", 300}, {"show_advance", true}, {"advance", 500}});
  const auto path = app.dir / "дача.xlsx";
  app.call("export_estimate_xlsx", {{"id", saved["estimate"]["id"]}, {"path", path.string()}});
  const int64_t id = app.call("import_estimate_xlsx", {{"path", path.string()}}).get<int64_t>();
  Json got = app.call("get_estimate", {{"id", id}});
  EXPECT_EQ(got["estimate"]["object_name"], "Дача");
  EXPECT_EQ(got["estimate"]["mode"], "simple");
  struct Expected {
    const char* type;
    const char* category;
    Json unit, quantity, price, fixed;
  };
  // The categories as set in the program, whatever the names suggest.
  const Expected expected[] = {{"full", "material", "м²", 2, 100, nullptr},
                               {"quantity_only", "work", "м", 7, nullptr, nullptr},
                               {"fixed", "work", nullptr, nullptr, nullptr, 1200},
                               {"section", "work", nullptr, nullptr, nullptr, nullptr}};
  ASSERT_EQ(got["lines"].size(), 4u);
  for (size_t i = 0; i < 4; ++i) {
    const Json& l = got["lines"][i];
    EXPECT_EQ(l["sort_order"], i);
    EXPECT_EQ(l["line_type"], expected[i].type) << i;
    EXPECT_EQ(l["category"], expected[i].category) << i;
    EXPECT_EQ(l["unit"], expected[i].unit) << i;
    EXPECT_EQ(l["quantity"], expected[i].quantity) << i;
    EXPECT_EQ(l["unit_price"], expected[i].price) << i;
    EXPECT_EQ(l["fixed_total"], expected[i].fixed) << i;
  }
  // The add-on and the advance as set.
  EXPECT_EQ(got["footer"]["materials"], 300);
  EXPECT_TRUE(got["footer"]["show_materials"]);
  EXPECT_EQ(got["footer"]["advance"], 500);
  EXPECT_TRUE(got["footer"]["show_advance"]);
  EXPECT_FALSE(got["footer"]["show_delivery"]);
}

TEST(EstimateImport, PositionsAndConversions) {
  test::AppFixture app;
  // Column A is empty throughout: the table starts at column B of the sheet.
  const std::string sheet =
      row_xml(1, {{"C1", "2024"}}) + row_xml(2, {{"B2", "s:№"}, {"C2", "s:Наименование"}}) +
      row_xml(3, {{"C3", "s:Только сумма"}, {"G3", "0"}}) +
      row_xml(4, {{"C4", "s:Без цены"}, {"D4", "s:шт"}, {"G4", "0"}}) +
      row_xml(5, {{"C5", "s:Количество без цены"}, {"E5", "3"}, {"G5", "5"}}) + row_xml(6, {{"C6", "s:Ничего"}}) +
      row_xml(7, {{"C7", "s:С пробелом"}, {"E7", "1"}, {"F7", "s:1 500,00"}}) +
      row_xml(8, {{"C8", "s:Запятая"}, {"E8", "1"}, {"F8", "s:1500,00"}}) +
      row_xml(9, {{"C9", "s:  "}, {"F9", "s:Доставка материала"}, {"G9", "3000"}}) +
      row_xml(10, {{"F10", "s:Доставка"}, {"G10", "700"}}) + row_xml(11, {{"F11", "s:Аванс"}, {"G11", "s:абв"}}) +
      row_xml(12, {{"F12", "s:Материалы"}, {"G12", "1"}}) + row_xml(13, {{"F13", "s:Материалы"}, {"G13", "s:2,5"}});
  test::write_zip(app.dir / "shifted.xlsx", test::minimal_workbook(sheet));
  const int64_t id = app.call("import_estimate_xlsx", {{"path", (app.dir / "shifted.xlsx").string()}}).get<int64_t>();
  Json got = app.call("get_estimate", {{"id", id}});
  EXPECT_EQ(got["estimate"]["object_name"], "2024");
  struct Expected {
    const char* name;
    const char* type;
    Json unit, quantity, price, fixed;
  };
  const Expected expected[] = {{"Только сумма", "fixed", nullptr, nullptr, nullptr, 0},
                               {"Без цены", "quantity_only", "шт", nullptr, nullptr, nullptr},
                               {"Количество без цены", "full", nullptr, 3, nullptr, nullptr},
                               {"С пробелом", "full", nullptr, 1, nullptr, nullptr},
                               {"Запятая", "full", nullptr, 1, 1500, nullptr}};
  ASSERT_EQ(got["lines"].size(), std::size(expected));
  for (size_t i = 0; i < std::size(expected); ++i) {
    const Json& l = got["lines"][i];
    EXPECT_EQ(l["name"], expected[i].name);
    EXPECT_EQ(l["sort_order"], i);
    EXPECT_EQ(l["line_type"], expected[i].type) << i;
    EXPECT_EQ(l["unit"], expected[i].unit) << i;
    EXPECT_EQ(l["quantity"], expected[i].quantity) << i;
    EXPECT_EQ(l["unit_price"], expected[i].price) << i;
    EXPECT_EQ(l["fixed_total"], expected[i].fixed) << i;
  }
  const Json footer = got["footer"];
  EXPECT_EQ(footer["delivery"], 3000);
  EXPECT_TRUE(footer["show_delivery"]);
  EXPECT_EQ(footer["advance"], 0);  // the amount does not read as a number
  EXPECT_TRUE(footer["show_advance"]);
  EXPECT_EQ(footer["materials"], 2.5);  // the last occurrence wins
}

TEST(EstimateImport, ReadsWorkbookWrittenByLibreOffice) {
  if (!test::have_soffice()) GTEST_SKIP() << "soffice is not installed";
  test::AppFixture app;
  {
    std::ofstream csv(app.dir / "lo.csv", std::ios::binary);
    csv << ";Ремонт ванной;;;;\n№;Наименование;Ед.;Кол-во;Цена;Сумма\n"
           "1;Укладка плитки;м²;4,5;1200;=D3*E3\n2;Плитка;м²;5;900,5;=D4*E4\n;;;;Аванс;10000\n";
  }
  auto xlsx = test::soffice_convert(app.dir / "lo.csv",
                                    "--infilter='CSV:59,34,76,1,,1049' --convert-to 'xlsx:Calc MS Excel 2007 XML'",
                                    app.dir / "out", "xlsx");
  ASSERT_TRUE(xlsx) << "LibreOffice did not convert the CSV";
  const int64_t id = app.call("import_estimate_xlsx", {{"path", xlsx->string()}}).get<int64_t>();
  Json got = app.call("get_estimate", {{"id", id}});
  EXPECT_EQ(got["estimate"]["object_name"], "Ремонт ванной");
  ASSERT_EQ(got["lines"].size(), 2u);
  EXPECT_EQ(got["lines"][0]["name"], "Укладка плитки");
  EXPECT_EQ(got["lines"][0]["quantity"], 4.5);
  EXPECT_EQ(got["lines"][1]["unit_price"], 900.5);
  EXPECT_EQ(got["lines"][1]["category"], "material");
  EXPECT_EQ(got["footer"]["advance"], 10000);
}

// Workbooks of another kind are refused rather than read as an estimate of nonsense.
TEST(EstimateImport, RefusesTablesThatAreNoEstimate) {
  test::AppFixture app;
  struct Case {
    const char* what;
    std::string sheet;
    const char* error;
  };
  const Case cases[] = {
      {"a household budget: amounts in the third column",
       row_xml(1, {{"A1", "s:Месяц"}, {"B1", "s:Статья"}, {"C1", "s:Сумма"}}) +
           row_xml(2, {{"A2", "s:Январь"}, {"B2", "s:Аренда"}, {"C2", "30000"}}) +
           row_xml(3, {{"A3", "s:Январь"}, {"B3", "s:Продукты"}, {"C3", "15000"}}) +
           row_xml(4, {{"A4", "s:Февраль"}, {"B4", "s:Аренда"}, {"C4", "30000"}}),
       kNoNumbersMessage},
      {"a single column of figures", row_xml(1, {{"A1", "1"}}) + row_xml(2, {{"A2", "2"}}) + row_xml(3, {{"A3", "3"}}),
       kNoNamesMessage},
  };
  for (const auto& c : cases) {
    test::write_zip(app.dir / "other.xlsx", test::minimal_workbook(c.sheet));
    EXPECT_EQ(app.fail("import_estimate_xlsx", {{"path", (app.dir / "other.xlsx").string()}}), c.error) << c.what;
  }
  EXPECT_EQ(app.count("SELECT COUNT(*) FROM estimates"), 0);

  // Half the named rows with a figure is still an estimate (headings have none); a sheet with
  // only a title and a header is an empty one.
  test::write_zip(app.dir / "half.xlsx",
                  test::minimal_workbook(row_xml(1, {{"B1", "s:Баня"}}) + row_xml(3, {{"A3", "1"}, {"B3", "s:Фундамент"}}) +
                                         row_xml(4, {{"A4", "2"}, {"B4", "s:Бетон"}, {"D4", "3"}})));
  test::write_zip(app.dir / "empty.xlsx", test::minimal_workbook(row_xml(1, {{"B1", "s:Пусто"}}) +
                                                                 row_xml(2, {{"B2", "s:Наименование"}})));
  app.call("import_estimate_xlsx", {{"path", (app.dir / "half.xlsx").string()}});
  app.call("import_estimate_xlsx", {{"path", (app.dir / "empty.xlsx").string()}});
  EXPECT_EQ(app.count("SELECT COUNT(*) FROM estimates"), 2);
}

TEST(EstimateImport, FiguresBeyondReasonAreRefused) {
  test::AppFixture app;
  test::write_zip(app.dir / "huge.xlsx",
                  test::minimal_workbook(row_xml(1, {{"B1", "s:Ошибка"}}) +
                                         row_xml(3, {{"A3", "1"}, {"B3", "s:Кирпич"}, {"D3", "2"}, {"E3", "10"}}) +
                                         row_xml(4, {{"A4", "2"}, {"B4", "s:Плитка"}, {"D4", "2"}, {"E4", "99999999999999999999"}})));
  EXPECT_EQ(app.fail("import_estimate_xlsx", {{"path", (app.dir / "huge.xlsx").string()}}),
            std::string(kImportedNumberTooLargeMessage) + ": позиция 2 «Плитка», 100000000000000000000");
  EXPECT_EQ(app.count("SELECT COUNT(*) FROM estimates WHERE object_name = 'Ошибка'"), 0);
}

TEST(EstimateImport, FailuresLeaveNothingBehind) {
  test::AppFixture app;
  std::ofstream(app.dir / "text.xlsx") << "просто текст";
  auto no_sheets = test::minimal_workbook("");
  no_sheets["xl/workbook.xml"] = "<workbook><sheets/></workbook>";
  test::write_zip(app.dir / "nosheet.xlsx", no_sheets);
  EXPECT_NE(app.fail("import_estimate_xlsx", {{"path", (app.dir / "text.xlsx").string()}})
                .find("файл не читается как книга Excel"),
            std::string::npos);
  EXPECT_EQ(app.fail("import_estimate_xlsx", {{"path", (app.dir / "nosheet.xlsx").string()}}), "no sheet");

  // A database refusal in the middle of the lines rolls the whole import back.
  app.state.with_db([](Database& db) {
    db.exec(
        "CREATE TRIGGER refuse BEFORE INSERT ON estimate_lines WHEN new.name = 'Второй' "
        "BEGIN SELECT RAISE(ABORT, 'refused'); END");
  });
  test::write_zip(app.dir / "two.xlsx",
                  test::minimal_workbook(row_xml(1, {{"B1", "s:Смета"}}) +
                                         row_xml(3, {{"A3", "1"}, {"B3", "s:Первый"}, {"F3", "1"}}) +
                                         row_xml(4, {{"A4", "2"}, {"B4", "s:Второй"}, {"F4", "2"}})));
  EXPECT_EQ(app.fail("import_estimate_xlsx", {{"path", (app.dir / "two.xlsx").string()}}), "refused");
  EXPECT_EQ(app.count("SELECT COUNT(*) FROM estimates"), 0);
  EXPECT_EQ(app.count("SELECT COUNT(*) FROM estimate_lines"), 0);
}

}  // namespace
}  // namespace calcora
