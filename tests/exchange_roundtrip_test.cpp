// Files we write come back as they went out: estimate and catalog workbooks exported, saved
// again by LibreOffice, Gnumeric or openpyxl as a user would, and imported; price lists that
// update the catalog without wiping what they do not carry.
#include <gtest/gtest.h>

#include <algorithm>
#include <random>

#include "calc/category.h"
#include "calc/totals.h"
#include "exchange/estimate_workbook.h"
#include "exchange/number_text.h"
#include "exchange_support.h"
#include "peer_copies.h"
#include "store/estimate_repository.h"

namespace calcora {
namespace {

using test::Peer;

class RoundTrip : public ::testing::TestWithParam<Peer> {
 protected:
  void SetUp() override {
    if (auto why = test::missing_peer(GetParam()); !why.empty()) GTEST_SKIP() << why;
  }
  std::vector<std::filesystem::path> copies(const std::vector<std::filesystem::path>& files,
                                            const std::filesystem::path& out_dir) {
    return test::peer_copies(GetParam(), files, out_dir);
  }
};

struct EstimateCase {
  const char* what;
  Json lines;  // each with the category the import guesses from its name
  Json footer;
  std::vector<std::string> extra_labels;  // the extra sums read back, the markup last
};

std::vector<EstimateCase> estimate_cases() {
  return {
      {"every line type and every footer row",
       Json::array(
           {{{"line_type", "section"}, {"name", "Электрика"}},
            {{"line_type", "full"}, {"name", "Монтаж розеток"}, {"unit", "шт"}, {"quantity", 12}, {"unit_price", 350}},
            {{"line_type", "full"},
             {"name", "Кабель ВВГнг 3х2,5"},
             {"unit", "м"},
             {"quantity", 50.5},
             {"unit_price", 80.25}},
            {{"line_type", "quantity_only"}, {"name", "Гофра ПВХ"}, {"unit", "м"}, {"quantity", 20}},
            {{"line_type", "fixed"}, {"name", "Вывоз мусора"}, {"fixed_total", 3000}},
            {{"line_type", "fixed"}, {"name", "Непредвиденные работы"}},
            {{"line_type", "full"},
             {"name", "Аренда техники на смену"},
             {"unit", "смена"},
             {"quantity", 2},
             {"unit_price", 7500}},
            {{"line_type", "full"}, {"name", "Краска"}, {"unit", "л"}, {"unit_price", 450}}}),
       {{"show_materials", true},
        {"materials", 1500},
        {"show_delivery", true},
        {"delivery", 2500},
        {"extras_json",
         R"([{"id":"a","label":"Вывоз мусора","amount":5000,"enabled":true},)"
         R"({"id":"b","label":"Подъём","amount":300,"enabled":false},{"id":"c","label":"","amount":120.5}])"},
        {"markup_formula", "работы * 0.1"},
        {"show_advance", true},
        {"advance", 10000}},
       {"Вывоз мусора", "", "Наценка"}},
      {"no lines and nothing shown", Json::array(), Json::object(), {}},
      {"add-on and delivery stored but off, a markup that does not evaluate",
       Json::array({{{"line_type", "full"}, {"name", "Плитка"}, {"unit", "м²"}, {"quantity", 0.1}, {"unit_price", 3}},
                    {{"line_type", "fixed"}, {"name", "Доставка плитки"}, {"fixed_total", 0.2}}}),
       {{"materials", 700}, {"delivery", 400}, {"markup_formula", "работы *"}},
       {"Наценка"}},
      {"a fractional add-on over fractional material lines",
       Json::array(
           {{{"line_type", "full"},
             {"name", "Кабель ВВГнг 3х2,5"},
             {"unit", "м"},
             {"quantity", 3},
             {"unit_price", 0.1}},
            {{"line_type", "full"}, {"name", "Труба ПНД 32"}, {"unit", "м"}, {"quantity", 0.7}, {"unit_price", 0.3}}}),
       {{"show_materials", true}, {"materials", 0.7}},
       {}},
  };
}

// Our layout without the hidden records, as a program that drops hidden sheets saves it: read
// by its visible cells alone.
void export_visible_cells_only(test::AppFixture& app, const Json& id, const std::filesystem::path& path) {
  const SaveEstimatePayload estimate =
      app.state.with_db([&](Database& db) { return read_estimate(db, id.get<int64_t>()); });
  write_estimate_workbook(estimate, compute_totals(estimate.lines, estimate.footer), path, HiddenValues::kLeftOut);
}

TEST_P(RoundTrip, EstimateWorkbookWithoutRecordsGivesBackItsLinesAndGrandTotal) {
  test::AppFixture app;
  const auto cases = estimate_cases();
  std::vector<Json> originals;
  std::vector<std::filesystem::path> files;
  for (size_t i = 0; i < cases.size(); ++i) {
    Json lines = cases[i].lines;
    for (auto& line : lines) line["category"] = guess_category(line["name"].get<std::string>());
    originals.push_back(app.make_estimate(cases[i].what, lines, cases[i].footer));
    files.push_back(app.dir / ("смета" + std::to_string(i) + ".xlsx"));
    export_visible_cells_only(app, originals.back()["estimate"]["id"], files.back());
  }
  const auto read_back = copies(files, app.dir / "copies");
  for (size_t i = 0; i < cases.size(); ++i) {
    SCOPED_TRACE(cases[i].what);
    const Json& sent = originals[i];
    const Json id = app.call("import_estimate_xlsx", {{"path", read_back[i].string()}});
    const Json got = app.call("get_estimate", {{"id", id}});
    EXPECT_EQ(got["estimate"]["object_name"], cases[i].what);
    ASSERT_EQ(got["lines"].size(), sent["lines"].size());
    for (size_t l = 0; l < sent["lines"].size(); ++l)
      for (const char* field : {"name", "line_type", "unit", "quantity", "unit_price", "fixed_total", "category"})
        EXPECT_EQ(got["lines"][l][field], sent["lines"][l][field]) << "line " << l << " " << field;

    const Json& f = got["footer"];
    const Json& s = sent["footer"];
    EXPECT_NEAR(app.grand_total(id), app.grand_total(sent["estimate"]["id"]), 0.005);
    const bool add_on = s["show_materials"].get<bool>() && s["materials"].get<double>() > 0;
    EXPECT_EQ(f["show_materials"], add_on);
    if (add_on) {
      EXPECT_EQ(f["materials"], s["materials"]);
    }
    EXPECT_EQ(f["show_delivery"], s["show_delivery"]);
    if (s["show_delivery"].get<bool>()) {
      EXPECT_EQ(f["delivery"], s["delivery"]);
    }
    EXPECT_EQ(f["show_advance"], s["show_advance"]);
    if (s["show_advance"].get<bool>()) {
      EXPECT_EQ(f["advance"], s["advance"]);
    }
    EXPECT_TRUE(f["markup_formula"].is_null());
    std::vector<std::string> labels;
    if (!f["extras_json"].is_null())
      for (const auto& extra : Json::parse(f["extras_json"].get<std::string>())) {
        EXPECT_TRUE(extra["id"].is_string() && !extra["id"].get<std::string>().empty());
        EXPECT_EQ(extra["enabled"], true);
        labels.push_back(extra["label"].get<std::string>());
      }
    EXPECT_EQ(labels, cases[i].extra_labels);
  }
}

// Estimates made at random (a fixed seed) from every line type and footer feature: each read
// back from our own workbook keeps its lines and its grand total.
TEST(EstimateWorkbookRoundTrip, RandomEstimatesKeepTheirGrandTotal) {
  test::AppFixture app;
  std::mt19937 rng(20250301);
  auto pick = [&](int n) { return static_cast<int>(rng() % static_cast<unsigned>(n)); };
  auto amount = [&](int max) { return pick(max * 100) / 100.0; };
  const char* names[] = {
      "Монтаж розеток", "Кабель ВВГнг 3х2,5", "Аренда техники на смену", "Штукатурка стен", "Плитка", "Вывоз мусора",
      "Грунтовка",      "Кран шаровой"};
  const char* types[] = {"full", "quantity_only", "fixed", "section"};
  const char* markups[] = {"", "работы * 0.1", "(работы + материалы) * 0.05"};
  for (int n = 0; n < 30; ++n) {
    Json lines = Json::array();
    for (int i = pick(12); i > 0; --i) {
      Json line = {{"line_type", types[pick(4)]}, {"name", names[pick(8)]}};
      line["category"] = guess_category(line["name"].get<std::string>());
      if (line["line_type"] == "full")
        line.update({{"unit", "м"}, {"quantity", amount(100)}, {"unit_price", amount(900)}});
      if (line["line_type"] == "quantity_only") line.update({{"unit", "шт"}, {"quantity", amount(50)}});
      if (line["line_type"] == "fixed" && pick(4) > 0) line["fixed_total"] = amount(20000);
      lines.push_back(line);
    }
    Json extras = Json::array();
    for (int i = pick(4); i > 0; --i)
      extras.push_back(
          {{"id", std::to_string(i)}, {"label", names[pick(8)]}, {"amount", amount(3000)}, {"enabled", pick(3) > 0}});
    const Json footer = {
        {"show_materials", pick(2) == 1},     {"materials", amount(5000)},
        {"show_delivery", pick(2) == 1},      {"delivery", amount(3000)},
        {"show_advance", pick(2) == 1},       {"advance", amount(10000)},
        {"markup_formula", markups[pick(3)]}, {"extras_json", extras.empty() ? Json() : Json(extras.dump())}};
    const Json sent = app.make_estimate("Случайная " + std::to_string(n), lines, footer);
    const auto path = app.dir / ("random" + std::to_string(n) + ".xlsx");
    app.call("export_estimate_xlsx", {{"id", sent["estimate"]["id"]}, {"path", path.string()}});
    const Json id = app.call("import_estimate_xlsx", {{"path", path.string()}});
    const Json got = app.call("get_estimate", {{"id", id}});
    EXPECT_NEAR(app.grand_total(id), app.grand_total(sent["estimate"]["id"]), 0.005) << n;
    ASSERT_EQ(got["lines"].size(), sent["lines"].size()) << n;
    for (size_t l = 0; l < sent["lines"].size(); ++l)
      for (const char* field : {"name", "line_type", "unit", "quantity", "unit_price", "fixed_total"})
        EXPECT_EQ(got["lines"][l][field], sent["lines"][l][field]) << n << " line " << l << " " << field;
  }
}

// name|unit|price|type|category|sku|cost of every catalog item, by name.
std::vector<std::string> catalog_rows(test::AppFixture& app) {
  auto text = [](const Json& v) {
    return v.is_null() ? std::string("-") : v.is_string() ? v.get<std::string>() : shortest_decimal(v.get<double>());
  };
  std::vector<std::string> rows;
  for (const auto& item : app.call("list_catalog", Json::object())) {
    std::string row = item["name"];
    for (const char* field : {"unit", "default_price", "line_type", "category", "sku", "cost_price"})
      row += "|" + text(item[field]);
    rows.push_back(row);
  }
  std::sort(rows.begin(), rows.end());
  return rows;
}

void add_catalog_item(test::AppFixture& app, const Json& item) {
  app.state.with_db([&](Database& db) {
    auto opt_text = [&](const char* key) {
      return item.contains(key) ? std::optional(item[key].get<std::string>()) : std::nullopt;
    };
    auto opt_real = [&](const char* key) {
      return item.contains(key) ? std::optional(item[key].get<double>()) : std::nullopt;
    };
    db.prepare(
          "INSERT INTO catalog_items (name, unit, default_price, line_type, category, sku, cost_price) "
          "VALUES (?1, ?2, ?3, ?4, ?5, ?6, ?7)")
        .bind_all(item["name"].get<std::string>(), opt_text("unit"), opt_real("default_price"),
                  item["line_type"].get<std::string>(), item["category"].get<std::string>(), opt_text("sku"),
                  opt_real("cost_price"))
        .run();
  });
}

TEST_P(RoundTrip, CatalogWorkbookKeepsUnitTypeAndCategory) {
  test::AppFixture app;
  // Names whose guessed category differs from the stored one, so that a guess would show.
  const Json items = Json::array({
      {{"name", "Бетон М300"}, {"unit", "м³"}, {"default_price", 5200}, {"line_type", "full"}, {"category", "work"}},
      {{"name", "Монтаж розеток"},
       {"unit", "шт"},
       {"default_price", 350.5},
       {"line_type", "full"},
       {"category", "material"}},
      {{"name", "Автовышка"},
       {"unit", "смена"},
       {"default_price", 9000},
       {"line_type", "full"},
       {"category", "equipment"}},
      {{"name", "Вывоз мусора"}, {"default_price", 3000}, {"line_type", "fixed"}, {"category", "equipment"}},
      {{"name", "Гофра ПВХ"}, {"unit", "м"}, {"line_type", "quantity_only"}, {"category", "material"}},
      {{"name", "Kabel NYM"},
       {"unit", "m"},
       {"default_price", 1.5},
       {"line_type", "full"},
       {"category", "work"},
       {"sku", "K-1"},
       {"cost_price", 0.9}},
  });
  for (const auto& item : items) add_catalog_item(app, item);
  const auto before = catalog_rows(app);
  const auto book = app.dir / "справочник.xlsx";
  app.call("export_catalog_xlsx", {{"path", book.string()}});
  const auto copy = copies({book}, app.dir / "copies").front();

  // Into a fresh catalog: everything the workbook carries (it has no SKU and no cost price).
  test::AppFixture fresh;
  EXPECT_EQ(fresh.call("import_catalog_xlsx", {{"path", copy.string()}}), Json::array({6, 0}));
  std::vector<std::string> expected;
  for (std::string row : before) expected.push_back(row.rfind("Kabel", 0) == 0 ? "Kabel NYM|m|1.5|full|work|-|-" : row);
  EXPECT_EQ(catalog_rows(fresh), expected);

  // Into the same catalog: every item updated in place, nothing lost.
  EXPECT_EQ(app.call("import_catalog_xlsx", {{"path", copy.string()}}), Json::array({6, 0}));
  EXPECT_EQ(catalog_rows(app), before);
}

// A supplier's price list: a title above the header, a price in thousands with a space, a
// price with the currency sign, a blank unit, a formula without a stored result.
std::map<std::string, std::string> supplier_price_list() {
  auto text = [](const char* ref, const char* value) {
    return std::string("<c r=\"") + ref + "\" t=\"inlineStr\"><is><t>" + value + "</t></is></c>";
  };
  auto number = [](const char* ref, const char* value) {
    return std::string("<c r=\"") + ref + "\"><v>" + value + "</v></c>";
  };
  auto book = test::minimal_workbook(
      "<row r=\"1\">" + text("A1", "ООО «Стройснаб»") + "</row>" + "<row r=\"2\">" +
      text("A2", "Прайс-лист на 01.03.2025") + "</row>" + "<row r=\"4\">" + text("A4", "Артикул") +
      text("B4", "Наименование") + text("C4", "Ед. изм.") + text("D4", "Цена") + text("E4", "Себестоимость") +
      "</row>" + "<row r=\"5\">" + text("A5", "A-1") + text("B5", "Кабель ВВГнг 3х2,5") + text("C5", "м") +
      text("D5", "1 250,50") + number("E5", "900") + "</row>" + "<row r=\"6\">" + text("B6", "Бетон М300") +
      text("D6", "12500 ₽") + "</row>" + "<row r=\"7\">" + text("A7", "B-7") + text("B7", "Новая позиция") +
      text("C7", "шт") + number("D7", "75.5") + "</row>" + "<row r=\"8\">" + text("B8", "Перфоратор") +
      "<c r=\"D8\"><f>NA()</f></c></row>");
  // What the other programs insist on before they open a package.
  book["[Content_Types].xml"] =
      R"(<Types xmlns="http://schemas.openxmlformats.org/package/2006/content-types">)"
      R"(<Default Extension="rels" ContentType="application/vnd.openxmlformats-package.relationships+xml"/>)"
      R"(<Default Extension="xml" ContentType="application/xml"/>)"
      R"(<Override PartName="/xl/workbook.xml" )"
      R"(ContentType="application/vnd.openxmlformats-officedocument.spreadsheetml.sheet.main+xml"/>)"
      R"(<Override PartName="/xl/worksheets/sheet1.xml" )"
      R"(ContentType="application/vnd.openxmlformats-officedocument.spreadsheetml.worksheet+xml"/></Types>)";
  auto& rels = book["xl/_rels/workbook.xml.rels"];
  const size_t shared_strings = rels.find("<Relationship Id=\"rId2\"");  // a part this book does not have
  rels.erase(shared_strings, rels.find("</Relationships>") - shared_strings);
  return book;
}

TEST_P(RoundTrip, PriceListChangesOnlyWhatItReads) {
  test::AppFixture app;
  for (const Json& item : {
           Json{{"name", "Кабель ВВГнг 3х2,5"},
                {"unit", "м"},
                {"default_price", 1100},
                {"line_type", "full"},
                {"category", "material"},
                {"sku", "A-1"},
                {"cost_price", 800}},
           Json{{"name", "Бетон М300"},
                {"unit", "м³"},
                {"default_price", 5000},
                {"line_type", "full"},
                {"category", "material"},
                {"sku", "C-3"}},
           Json{{"name", "Перфоратор"},
                {"unit", "шт"},
                {"default_price", 4000},
                {"line_type", "fixed"},
                {"category", "equipment"}},
       })
    add_catalog_item(app, item);
  const auto file = app.dir / "прайс.xlsx";
  test::write_zip(file, supplier_price_list());
  const auto copy = copies({file}, app.dir / "copies").front();
  EXPECT_EQ(app.call("import_catalog_xlsx", {{"path", copy.string()}}), Json::array({4, 0}));
  const std::vector<std::string> expected = {
      "Бетон М300|м³|5000|full|material|C-3|-",           // unreadable price, blank unit: kept
      "Кабель ВВГнг 3х2,5|м|1100|full|material|A-1|900",  // "1 250,50" keeps 1100; the cost is read
      "Новая позиция|шт|75.5|full|" + guess_category("Новая позиция") + "|B-7|-",
      "Перфоратор|шт|4000|fixed|equipment|-|-",  // a formula without a result
  };
  EXPECT_EQ(catalog_rows(app), expected);
}

INSTANTIATE_TEST_SUITE_P(Peers, RoundTrip,
                         ::testing::Values(Peer::kOurs, Peer::kLibreOffice, Peer::kGnumeric, Peer::kOpenpyxl),
                         [](const ::testing::TestParamInfo<Peer>& info) { return test::peer_name(info.param); });

}  // namespace
}  // namespace calcora
