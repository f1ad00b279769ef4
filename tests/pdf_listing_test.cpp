// The printed listing of an estimate: which lines are printed and how, the totals lines,
// the fonts, the cut into pages, and the export command end to end with real readers.
#include <gtest/gtest.h>

#include "calc/totals.h"
#include "command_fixture.h"
#include "commands/dispatcher.h"
#include "export/pdf/estimate_listing.h"
#include "common/number_text.h"
#include "pdf_test_support.h"

namespace calcora::pdf {
namespace {

EstimateLine line(std::string type, std::string name, std::optional<std::string> unit = {},
                  std::optional<double> quantity = {}, std::optional<double> price = {}) {
  EstimateLine l;
  l.line_type = std::move(type);
  l.name = std::move(name);
  l.unit = std::move(unit);
  l.quantity = quantity;
  l.unit_price = price;
  return l;
}

SaveEstimatePayload estimate(std::vector<EstimateLine> lines, EstimateFooter footer = {}) {
  SaveEstimatePayload e;
  e.estimate.object_name = "Дом на Лесной";
  e.lines = std::move(lines);
  e.footer = std::move(footer);
  return e;
}

Document listing(const SaveEstimatePayload& e, std::string_view font = kDefaultPrintFont) {
  return estimate_document(e, compute_totals(e.lines, e.footer), font);
}

std::vector<std::string> texts(const Page& page) {
  std::vector<std::string> out;
  for (const auto& l : page.lines) out.push_back(l.text);
  return out;
}

using Texts = std::vector<std::string>;

TEST(PdfListing, NumberForm) {
  const std::pair<std::optional<double>, const char*> cases[] = {
      {1500.0, "1500"},
      {1234.5, "1234.5"},
      {-20.0, "-20"},
      {0.1 + 0.2, "0.3"},  // as spreadsheets show it: no binary noise
      {1e21, "1000000000000000000000"},
      {1e-7, "0.0000001"},
      {std::numeric_limits<double>::infinity(), ""},
      {-std::numeric_limits<double>::infinity(), ""},
      {std::nan(""), ""},
      {std::nullopt, ""},
  };
  for (const auto& [value, text] : cases) EXPECT_EQ(number_text(value), text) << text;
}

TEST(PdfListing, FontChoiceByName) {
  for (const char* name : {"Times New Roman", "  times\t", "GEORGIA", "Palatino", "PT Serif", "Times"})
    EXPECT_EQ(font_for_name(name), FontChoice::serif) << name;
  for (const char* name : {"system-ui", "Arial", "", "Times New Roman Cyr", "PT  Serif", "Тimes" /* Cyrillic Т */})
    EXPECT_EQ(font_for_name(name), FontChoice::sans) << name;
}

TEST(PdfListing, LinesAndNumbering) {
  auto fixed = line("fixed", "Вывоз грунта");
  fixed.fixed_total = 7000;
  const std::string sixty = "Демонтаж старых перегородок из кирпича и вывоз строительного";  // 60 characters
  auto doc = listing(estimate({
      line("full", "Разметка", "м", 10, 15),
      line("full", "  \u00A0 ", "м", 1, 1000),  // blank: skipped, takes no number
      line("section", "Фундамент"),
      line("quantity_only", "Бетон М300", "м³", 4, 5200),
      fixed,
      line("full", "Штукатурка стен", "м²", 12.5, 400),
      line("full", "Прочее"),
      line("full", sixty, "шт", 0.1 + 0.2, -20),
      line("", " отступ ", {}, 2, 3),
  }));
  ASSERT_EQ(doc.pages.size(), 1u);
  EXPECT_EQ(doc.title, "Дом на Лесной");
  EXPECT_EQ(texts(doc.pages[0]),
            (Texts{"Дом на Лесной", "1 | Разметка | м | 10 | 15 | 150", "2 | Фундамент |  |  |  |",
                   "3 | Бетон М300 | м³ | 4 | 5200 | 0", "4 | Вывоз грунта |  |  |  | 7000",
                   "5 | Штукатурка стен | м² | 12.5 | 400 | 5000", "6 | Прочее |  |  |  | 0",
                   "7 | Демонтаж старых перегородок из кирпича и вывоз с... | шт | 0.3 | -20 | "
                   "-6",
                   "8 |  отступ  |  | 2 | 3 | 6",
                   // the totals are those of every stored line, the unprinted blank one included
                   "Работы: 13150", "Материалы: 0", "Техника: 0", "Общий итог: 13150"}));
}

TEST(PdfListing, TotalsLines) {
  EstimateFooter footer;
  footer.materials = 500, footer.show_materials = true;
  footer.delivery = 3000, footer.show_delivery = true;
  footer.advance = 10000, footer.show_advance = true;
  footer.markup_formula = " работы * 0.1 ";
  footer.extras_json = R"([{"id":"a","label":"Вывоз мусора","amount":1200,"enabled":true},)"
                       R"({"id":"b","label":"Подъём","amount":900,"enabled":false},{"id":"c","amount":250.5}])";
  auto material = line("full", "Кирпич", "шт", 100, 20);
  material.category = "material";
  auto crane = line("fixed", "Кран");
  crane.category = " equipment ";
  crane.fixed_total = 4000;
  auto doc = listing(estimate({line("full", "Кладка", "м³", 2, 5000), material, crane}, footer));
  ASSERT_EQ(doc.pages.size(), 1u);
  const Texts all = texts(doc.pages[0]);
  EXPECT_EQ(Texts(all.begin() + 4, all.end()),
            (Texts{"Работы: 10000", "Материалы: 2500", "Техника: 4000", "Доставка: 3000", "Вывоз мусора: 1200",
                   "Доп. сумма: 250.5", "Наценка: 1000", "Общий итог: 21950.5", "Аванс: 10000", "Остаток: 11950.5"}));

  // Items without a text label or a number amount print the default label and 0; extra
  // sums that are not a JSON array print nothing.
  footer.extras_json = R"([{"label":7,"amount":"x","enabled":null},5])";
  footer.show_delivery = false, footer.show_advance = false, footer.markup_formula.reset();
  EXPECT_EQ(texts(listing(estimate({}, footer)).pages[0]),
            (Texts{"Дом на Лесной", "Работы: 0", "Материалы: 500", "Техника: 0", "Доп. сумма: 0", "Доп. сумма: 0",
                   "Общий итог: 500"}));

  // A formula that does not evaluate prints 0; one that divides by zero leaves the
  // figures it makes non-finite empty.
  footer.show_delivery = true, footer.show_advance = true;
  footer.extras_json = R"({"amount":5})";
  footer.markup_formula = "работы +";
  doc = listing(estimate({}, footer));
  EXPECT_EQ(texts(doc.pages[0]), (Texts{"Дом на Лесной", "Работы: 0", "Материалы: 500", "Техника: 0", "Доставка: 3000",
                                        "Наценка: 0", "Общий итог: 3500", "Аванс: 10000", "Остаток: -6500"}));
  footer.markup_formula = "работы / 0";
  doc = listing(estimate({}, footer));
  EXPECT_EQ(texts(doc.pages[0]), (Texts{"Дом на Лесной", "Работы: 0", "Материалы: 500", "Техника: 0", "Доставка: 3000",
                                        "Наценка: ", "Общий итог: ", "Аванс: 10000", "Остаток: "}));
}

TEST(PdfListing, EmptyEstimateIsOnePage) {
  auto doc = listing(estimate({}));
  ASSERT_EQ(doc.pages.size(), 1u);
  EXPECT_EQ(texts(doc.pages[0]), (Texts{"Дом на Лесной", "Работы: 0", "Материалы: 0", "Техника: 0", "Общий итог: 0"}));
}

TEST(PdfListing, PagesOfFiftyEightBodyLines) {
  for (size_t count : {54u, 58u, 120u}) {
    std::vector<EstimateLine> lines;
    for (size_t i = 0; i < count; ++i) lines.push_back(line("full", "Строка", "шт", 1, 1));
    auto doc = listing(estimate(lines));
    const size_t body = count + 4;
    ASSERT_EQ(doc.pages.size(), (body + 57) / 58) << count;
    for (size_t p = 0; p < doc.pages.size(); ++p) {
      const auto& page = doc.pages[p].lines;
      EXPECT_EQ(page.front().text, "Дом на Лесной");
      EXPECT_EQ(page.size(), 1 + std::min<size_t>(58, body - 58 * p)) << count << " page " << p;
    }
  }
  // 58 lines and four totals: the second page holds the title and the totals.
  std::vector<EstimateLine> lines(58, line("full", "Строка", "шт", 1, 1));
  auto doc = listing(estimate(lines));
  EXPECT_EQ(doc.pages[0].lines.back().text, "58 | Строка | шт | 1 | 1 | 1");
  EXPECT_EQ(texts(doc.pages[1]),
            (Texts{"Дом на Лесной", "Работы: 58", "Материалы: 0", "Техника: 0", "Общий итог: 58"}));
}

TEST(PdfListing, FontsByPrintFontAndLineFormat) {
  auto with_format = [](std::string name, std::optional<std::string> format) {
    auto l = line("full", std::move(name), "шт", 1, 1);
    l.format_json = std::move(format);
    return l;
  };
  const auto e = estimate({
      with_format("своего нет", std::nullopt),
      with_format("Georgia", R"({"font":"Georgia","bold":true})"),
      with_format("Arial", R"({"font":"Arial"})"),
      with_format("пустой", R"({"font":"  "})"),
      with_format("число", R"({"font":5})"),
      with_format("испорчен", R"({"font":)"),
  });
  using enum FontChoice;
  const std::pair<std::string_view, std::vector<FontChoice>> cases[] = {
      // title, six lines, four totals lines
      {"Times New Roman", {serif, serif, serif, sans, serif, serif, serif, serif, serif, serif, serif}},
      {kDefaultPrintFont, {sans, sans, serif, sans, sans, sans, sans, sans, sans, sans, sans}},
  };
  for (const auto& [font, expected] : cases) {
    auto doc = listing(e, font);
    std::vector<FontChoice> fonts;
    for (const auto& l : doc.pages[0].lines) fonts.push_back(l.font);
    EXPECT_EQ(fonts, expected) << font;
  }
}

struct PdfExportTest : test::CommandTest {
  int64_t create(const Json& lines, const Json& footer_changes = Json::object()) {
    auto created = dispatcher.dispatch("create_estimate", {{"objectName", "Квартира (Иванов)"}});
    EXPECT_TRUE(created.ok) << created.body;
    Json payload = Json::parse(created.body);
    payload["lines"] = lines;
    payload["footer"].update(footer_changes);
    auto saved = dispatcher.dispatch("save_estimate", {{"payload", payload}});
    EXPECT_TRUE(saved.ok) << saved.body;
    return payload["estimate"]["id"].get<int64_t>();
  }
};

Json stored_line(int sort, const char* type, const char* name, Json unit, Json qty, Json price) {
  return {{"estimate_id", 0}, {"sort_order", sort}, {"line_type", type},  {"name", name},
          {"unit", unit},     {"quantity", qty},    {"unit_price", price}};
}

TEST_F(PdfExportTest, ReadersSeeTitleLinesTotalsAndFonts) {
  if (!test::have_tool("qpdf") || !test::have_tool("pdftotext") || !test::have_tool("pdffonts"))
    GTEST_SKIP() << "qpdf or poppler missing";
  Json lines = Json::array({stored_line(1, "section", "Стены", nullptr, nullptr, nullptr),
                            stored_line(2, "full", "Штукатурка стен 3×4", "м²", 12.5, 400),
                            stored_line(3, "full", "Кирпич (красный)", "шт", 1000, 18.5)});
  lines[2]["category"] = "material";
  lines[2]["format_json"] = R"({"font":"Arial"})";
  const int64_t id = create(lines, {{"show_advance", true}, {"advance", 5000}});
  const auto path = dir / "смета.pdf";
  auto out = dispatcher.dispatch("export_estimate_pdf", {{"id", id}, {"path", path.string()}, {"printFont", "Times"}});
  ASSERT_TRUE(out.ok) << out.body;
  EXPECT_EQ(out.body, "null");

  auto check = test::run_tool("qpdf --check " + test::quoted(path));
  EXPECT_EQ(check.status, 0) << check.out;
  EXPECT_NE(check.out.find("No syntax or stream encoding errors found"), std::string::npos) << check.out;
  EXPECT_EQ(test::run_tool("pdftotext -raw " + test::quoted(path) + " -").out,
            "Квартира (Иванов)\n1 | Стены | | | |\n2 | Штукатурка стен 3×4 | м² | 12.5 | 400 | 5000\n"
            "3 | Кирпич (красный) | шт | 1000 | 18.5 | 18500\nРаботы: 5000\nМатериалы: 18500\nТехника: 0\n"
            "Общий итог: 23500\nАванс: 5000\nОстаток: 18500\n\f");
  const std::string fonts = test::run_tool("pdffonts " + test::quoted(path)).out;
  for (const char* font : {"DejaVuSans", "FreeSerif"}) {
    const size_t row = fonts.find(std::string("\n") + font + " ");
    ASSERT_NE(row, std::string::npos) << fonts;
    EXPECT_NE(fonts.substr(row, fonts.find('\n', row + 1) - row).find("CID TrueType      Identity-H       yes no  yes"),
              std::string::npos)
        << fonts;
  }
  if (test::have_tool("pdftoppm")) {
    auto render = test::run_tool("pdftoppm -png -r 80 -f 1 -l 1 " + test::quoted(path) + " " + test::quoted(dir / "p"));
    EXPECT_EQ(render.status, 0) << render.out;
    EXPECT_GT(std::filesystem::file_size(dir / "p-1.png"), 1000u);
  }
}

TEST_F(PdfExportTest, FailuresAndPrintFontAbsent) {
  const int64_t id = create(Json::array());
  const auto path = (dir / "out.pdf").string();
  const std::pair<Json, std::string> failures[] = {
      {{{"id", id + 1}, {"path", path}}, "Query returned no rows"},
      {{{"id", id}, {"path", path_utf8(dir.path() / utf8_path("нет") / "out.pdf")}}, test::missing_folder_error()},
      {{{"id", std::to_string(id)}, {"path", path}},
       "invalid args `id` for command `export_estimate_pdf`: invalid type: string \"1\", expected i64"},
      {{{"id", id}}, "command export_estimate_pdf missing required key path"},
      {{{"id", id}, {"path", path}, {"printFont", 5}},
       "invalid args `printFont` for command `export_estimate_pdf`: invalid type: integer `5`, expected a string"},
  };
  for (const auto& [args, error] : failures) {
    auto out = dispatcher.dispatch("export_estimate_pdf", args);
    EXPECT_FALSE(out.ok) << args.dump();
    EXPECT_EQ(out.body, error);
  }
  EXPECT_FALSE(std::filesystem::exists(path));

  // An absent and a null print font both mean the sans default.
  for (const Json& args :
       {Json{{"id", id}, {"path", path}}, Json{{"id", id}, {"path", path}, {"printFont", nullptr}}}) {
    ASSERT_TRUE(dispatcher.dispatch("export_estimate_pdf", args).ok);
    const std::string pdf = test::read_text(path);
    const auto objects = test::pdf_objects(pdf);
    ASSERT_EQ(objects.size(), 14u);
    EXPECT_NE(test::stream_data(objects.at(14)).find("/F1 14 Tf\n"), std::string::npos);
    EXPECT_EQ(pdf.rfind("%PDF-1.4\n% Квартира (Иванов)\n", 0), 0u);
  }
}

}  // namespace
}  // namespace calcora::pdf
