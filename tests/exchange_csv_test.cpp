// The CSV table, compared byte for byte: records, quoting, numbers, optional rows.
#include <gtest/gtest.h>

#include "exchange/number_text.h"
#include "exchange_support.h"

namespace calcora {
namespace {

TEST(NumberText, ShortestDecimalWithoutExponent) {
  const std::pair<double, const char*> cases[] = {{1500, "1500"},
                                                  {1234.5, "1234.5"},
                                                  {0.1, "0.1"},
                                                  {-20, "-20"},
                                                  {0.1 + 0.2, "0.30000000000000004"},
                                                  {1e20, "100000000000000000000"},
                                                  {1.5e-7, "0.00000015"},
                                                  {-0.0, "0"},
                                                  {123456789.125, "123456789.125"}};
  for (const auto& [value, text] : cases) EXPECT_EQ(shortest_decimal(value), text);
}

TEST(EstimateCsv, RecordsQuotingAndOptionalRows) {
  test::AppFixture app;
  const std::string bom = "\xEF\xBB\xBF";
  const std::string header = "№;Наименование;Ед.;Кол-во;Цена;Сумма";
  struct Case {
    const char* what;
    Json lines;
    Json footer;
    std::string expected;
  };
  const Case cases[] = {
      {"example",
       Json::array({{{"line_type", "section"}, {"name", "Электрика"}},
                    {{"line_type", "full"},
                     {"name", "Кабель ВВГ"},
                     {"unit", "м"},
                     {"quantity", 50},
                     {"unit_price", 80},
                     {"category", "material"}},
                    {{"line_type", "fixed"}, {"name", "Вывоз мусора"}, {"fixed_total", 3000}}}),
       Json::object(),
       header + "\n1;Электрика;;;;\n2;Кабель ВВГ;м;50;80;4000\n3;Вывоз мусора;;;;3000\n;Работы;;;;3000\n"
                ";Материалы;;;;4000\n;Техника;;;;0\n;Общий итог;;;;7000"},
      {"no lines", Json::array(), Json::object(),
       header + "\n;Работы;;;;0\n;Материалы;;;;0\n;Техника;;;;0\n;Общий итог;;;;0"},
      {"blank names, quoting, absent amounts",
       Json::array(
           {{{"line_type", "full"}, {"name", "   "}, {"quantity", 1}, {"unit_price", 5}},
            {{"line_type", "full"},
             {"name", "Щит \"ABB\"; 12 мод."},
             {"unit", "шт;к"},
             {"quantity", 0.30000000000000004}},  // written as spreadsheets show it
            {{"line_type", "fixed"}, {"name", "Фикс"}},
            {{"line_type", "quantity_only"}, {"name", "Кол"}, {"unit", "м"}, {"quantity", 2}, {"unit_price", 9}}}),
       Json::object(),
       // The blank line is left out of the table but still counts in the totals.
       header + "\n1;\"Щит \"\"ABB\"\"; 12 мод.\";\"шт;к\";0.3;;0\n2;Фикс;;;;0\n3;Кол;м;2;9;0\n"
                ";Работы;;;;5\n;Материалы;;;;0\n;Техника;;;;0\n;Общий итог;;;;5"},
      // A text amount makes the totals count every extra sum 0, while the rows still show them.
      {"delivery, extras and markup after the grand total",
       Json::array({{{"line_type", "full"}, {"name", "Работа"}, {"quantity", 2}, {"unit_price", 1000}}}),
       {{"show_delivery", true},
        {"delivery", 500},
        {"markup_formula", "работы*0.1"},
        {"show_advance", true},
        {"advance", 100},
        {"extras_json", R"([{"label":"Подъём; 5 эт.","amount":300},{"label":"x","amount":1,"enabled":false},)"
                        R"({"label":"Вывоз \"КАМАЗ\"","amount":"много"},{"amount":12.5}])"}},
       header + "\n1;Работа;;2;1000;2000\n;Работы;;;;2000\n;Материалы;;;;0\n;Техника;;;;0\n;Общий итог;;;;2700\n"
                ";Доставка;;;;500\n;\"Подъём; 5 эт.\";;;;300\n;\"Вывоз \"\"КАМАЗ\"\"\";;;;0\n;Доп. сумма;;;;12.5\n"
                ";Наценка;;;;200"},
  };
  for (const auto& c : cases) {
    Json saved = app.make_estimate("Смета", c.lines, c.footer);
    const auto path = app.dir / "смета.csv";
    app.call("export_estimate_csv", {{"id", saved["estimate"]["id"]}, {"path", path.string()}});
    EXPECT_EQ(test::read_text(path), bom + c.expected) << c.what;
  }
  EXPECT_EQ(app.fail("export_estimate_csv", {{"id", 999}, {"path", (app.dir / "x.csv").string()}}),
            "Query returned no rows");
  EXPECT_FALSE(std::filesystem::exists(app.dir / "x.csv"));
}

}  // namespace
}  // namespace calcora
