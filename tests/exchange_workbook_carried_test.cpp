// Our estimate workbook read back whole: what the user set in the program (categories chosen
// with the badge, line and markup formulas, switched-off extras and amounts, the mode and the
// room) comes back from the workbook as exported, as a spreadsheet program saves it again, and
// as a user edits it there; and the customer sees exactly what the workbook showed before.
#include <gtest/gtest.h>

#include <fstream>
#include <map>
#include <random>
#include <regex>

#include "calc/category.h"
#include "calc/totals.h"
#include "exchange/estimate_workbook.h"
#include "exchange_support.h"
#include "peer_copies.h"
#include "store/estimate_repository.h"

namespace calcora {
namespace {

using test::Peer;

// The formula with each line reference written as the referenced line's position, so that the
// formulas of an estimate and of its copy with new ids compare.
Json by_position(const Json& formula, const Json& lines) {
  if (!formula.is_string()) return formula;
  std::map<std::string, size_t> position;
  for (size_t i = 0; i < lines.size(); ++i) position[std::to_string(lines[i]["id"].get<int64_t>())] = i;
  const std::string text = formula.get<std::string>();
  const std::regex reference("line:(\\d+)");
  std::string out;
  size_t done = 0;
  for (auto it = std::sregex_iterator(text.begin(), text.end(), reference); it != std::sregex_iterator(); ++it) {
    out += text.substr(done, it->position() - done);
    auto at = position.find((*it)[1]);
    out += at == position.end() ? "line:?" + (*it)[1].str() : "line#" + std::to_string(at->second);
    done = it->position() + it->length();
  }
  return out + text.substr(done);
}

// Everything of the imported estimate equals the sent one, but ids, dates and the proposal.
void expect_same_estimate(test::AppFixture& app, const Json& sent, const Json& id) {
  const Json got = app.call("get_estimate", {{"id", id}});
  for (const char* key : {"object_name", "mode", "mode_mask_json", "calc_params_json"})
    EXPECT_EQ(got["estimate"][key], sent["estimate"][key]) << key;
  EXPECT_TRUE(got["estimate"]["kp_json"].is_null());
  ASSERT_EQ(got["lines"].size(), sent["lines"].size());
  for (size_t l = 0; l < sent["lines"].size(); ++l) {
    Json a = sent["lines"][l], b = got["lines"][l];
    a["formula"] = by_position(a["formula"], sent["lines"]);
    b["formula"] = by_position(b["formula"], got["lines"]);
    for (const char* key : {"id", "estimate_id"}) a.erase(key), b.erase(key);
    EXPECT_EQ(b, a) << "line " << l;
  }
  Json fa = sent["footer"], fb = got["footer"];
  fa.erase("estimate_id"), fb.erase("estimate_id");
  EXPECT_EQ(fb, fa);
  EXPECT_NEAR(app.grand_total(id), app.grand_total(sent["estimate"]["id"]), 0.005);
}

// An estimate made at random as a user makes one: categories set with the badge whatever the
// name suggests, every line type, values a type does not show, line formulas naming the room
// and other lines, and every footer feature on or off.
Json random_estimate(test::AppFixture& app, std::mt19937& rng, int n) {
  auto pick = [&](int count) { return static_cast<int>(rng() % static_cast<unsigned>(count)); };
  auto amount = [&](int max) { return pick(max * 100) / 100.0; };
  const char* names[] = {"Штукатурка стен", "Позиция 7", "Кабель ВВГнг 3х2,5", "Монтаж розеток", "Аренда техники",
                         " Плитка  ",       "",          "Грунтовка",          "2024",           "Вывоз \"мусора\""};
  const char* types[] = {"full", "full", "quantity_only", "fixed", "section"};
  const char* categories[] = {"work", "material", "equipment"};
  Json lines = Json::array();
  for (int i = 1 + pick(9); i > 0; --i) {
    Json line = {{"line_type", types[pick(5)]}, {"name", names[pick(10)]}, {"category", categories[pick(3)]}};
    const std::string type = line["line_type"];
    if (type != "section" || pick(3) == 0) line.update({{"unit", pick(4) == 0 ? "" : "м²"}, {"quantity", amount(80)}});
    if (type == "full" || pick(4) == 0) line["unit_price"] = amount(900);
    if (type == "fixed" ? pick(4) > 0 : pick(6) == 0) line["fixed_total"] = amount(20000);
    if (pick(4) == 0) line.update({{"name_bold", true}, {"format_json", R"({"color":"#c00000"})"}});
    if (pick(4) == 0) line.update({{"sku", "A-" + std::to_string(pick(100))}, {"cost_price", amount(500)}});
    lines.push_back(line);
  }
  Json extras = Json::array();
  for (int i = pick(4); i > 0; --i)
    extras.push_back({{"id", "x" + std::to_string(i)},
                      {"label", names[pick(10)]},
                      {"amount", amount(3000)},
                      {"enabled", i % 2 == 1 || pick(2) == 0}});
  const char* markups[] = {"", "работы * 0.1", "(работы + материалы) * 0.05", "  "};
  const char* modes[] = {"simple", "pro", "custom"};
  const Json footer = {{"show_materials", pick(2) == 1},
                       {"materials", amount(5000)},
                       {"show_delivery", pick(2) == 1},
                       {"delivery", amount(3000)},
                       {"show_advance", pick(2) == 1},
                       {"advance", amount(10000)},
                       {"markup_formula", pick(4) == 0 ? Json() : Json(markups[pick(4)])},
                       {"extras_json", extras.empty() ? Json() : Json(extras.dump())}};
  Json saved = app.make_estimate("Смета " + std::to_string(n), lines, footer);

  // Now that the lines have ids: formulas naming the room and earlier lines.
  Json& stored = saved["lines"];
  for (size_t i = 0; i < stored.size(); ++i) {
    const int choice = pick(4);
    if (choice == 1) stored[i]["formula"] = "стены * 1.1";
    if (choice == 2 && i > 0)
      stored[i]["formula"] = "line:" + std::to_string(stored[pick(static_cast<int>(i))]["id"].get<int64_t>()) +
                             ".qty + line:" + std::to_string(stored[pick(static_cast<int>(i))]["id"].get<int64_t>()) +
                             ".price / 2";
  }
  saved["estimate"]["mode"] = modes[pick(3)];
  saved["estimate"]["mode_mask_json"] = pick(2) == 0 ? Json() : Json(R"({"skuCost":true,"calculators":true})");
  saved["estimate"]["calc_params_json"] =
      pick(3) == 0 ? Json() : Json(Json{{"room", {{"L", amount(6)}, {"W", amount(5)}, {"H", 2.7}}}}.dump());
  saved["estimate"]["kp_json"] = R"({"title":"Предложение"})";
  return app.call("save_estimate", {{"payload", saved}});
}

class CarriedRoundTrip : public ::testing::TestWithParam<Peer> {
 protected:
  void SetUp() override {
    if (auto why = test::missing_peer(GetParam()); !why.empty()) GTEST_SKIP() << why;
  }
};

TEST_P(CarriedRoundTrip, RandomEstimatesComeBackFieldByField) {
  test::AppFixture app;
  std::mt19937 rng(20261211);
  std::vector<Json> sent;
  std::vector<std::filesystem::path> files;
  for (int n = 0; n < 14; ++n) {
    sent.push_back(random_estimate(app, rng, n));
    files.push_back(app.dir / ("смета" + std::to_string(n) + ".xlsx"));
    app.call("export_estimate_xlsx", {{"id", sent.back()["estimate"]["id"]}, {"path", files.back().string()}});
  }
  const auto read_back = test::peer_copies(GetParam(), files, app.dir / "copies");
  for (size_t n = 0; n < sent.size(); ++n) {
    SCOPED_TRACE("estimate " + std::to_string(n));
    expect_same_estimate(app, sent[n], app.call("import_estimate_xlsx", {{"path", read_back[n].string()}}));
  }
}

INSTANTIATE_TEST_SUITE_P(Peers, CarriedRoundTrip,
                         ::testing::Values(Peer::kOurs, Peer::kLibreOffice, Peer::kGnumeric, Peer::kOpenpyxl),
                         [](const ::testing::TestParamInfo<Peer>& info) { return test::peer_name(info.param); });

// The estimate of the tests below: categories that differ from the guess, a line formula naming
// another line, every footer row.
Json edited_estimate(test::AppFixture& app) {
  const Json lines = Json::array({
      {{"line_type", "section"}, {"name", "Отделка"}, {"category", "work"}},
      {{"line_type", "full"},
       {"name", "Штукатурка стен"},
       {"category", "material"},
       {"unit", "м²"},
       {"quantity", 40},
       {"unit_price", 350}},
      {{"line_type", "full"},
       {"name", "Позиция 12"},
       {"category", "equipment"},
       {"unit", "смена"},
       {"quantity", 2},
       {"unit_price", 7500}},
      {{"line_type", "full"},
       {"name", "Монтаж розеток"},
       {"category", "material"},
       {"unit", "шт"},
       {"quantity", 12},
       {"unit_price", 150}},
      {{"line_type", "quantity_only"},
       {"name", "Кабель ВВГнг 3х2,5"},
       {"category", "work"},
       {"unit", "м"},
       {"quantity", 4}},
      {{"line_type", "fixed"}, {"name", "Вывоз мусора"}, {"category", "equipment"}, {"fixed_total", 3000}},
  });
  for (const auto& line : lines) {
    if (line["line_type"] != "section") {
      EXPECT_NE(guess_category(line["name"].get<std::string>()), line["category"]);
    }
  }
  const Json footer = {
      {"show_materials", true},
      {"materials", 1500},
      {"show_delivery", true},
      {"delivery", 2500},
      {"show_advance", true},
      {"advance", 10000},
      {"markup_formula", "работы * 0.1"},
      {"extras_json",
       R"([{"id":"a","label":"Подъём","amount":5000,"enabled":true},{"id":"b","label":"Уборка","amount":300,"enabled":false}])"}};
  Json saved = app.make_estimate("Квартира", lines, footer);
  saved["lines"][4]["formula"] = "line:" + std::to_string(saved["lines"][2]["id"].get<int64_t>()) + ".qty * 2";
  saved["estimate"].update({{"mode", "pro"}, {"calc_params_json", R"({"room":{"L":4,"W":3,"H":2.7}})"}});
  return app.call("save_estimate", {{"payload", saved}});
}

// A LibreOffice profile that runs `basic` as the macro Standard.Module1.Run. LibreOffice fills
// a new profile with its own macro library on its first start, so the profile is started once
// before the module goes in.
std::string libreoffice_macro_profile(const std::filesystem::path& profile, const std::string& basic) {
  const std::string env = "-env:UserInstallation=file://" + profile.string();
  const auto init = test::run_tool("timeout 300 soffice " + env + " --headless --terminate_after_init");
  const auto module = profile / "user" / "basic" / "Standard" / "Module1.xba";
  EXPECT_TRUE(std::filesystem::exists(module)) << init.out;
  std::string escaped;
  for (char c : basic)
    escaped += c == '&' ? "&amp;" : c == '<' ? "&lt;" : c == '>' ? "&gt;" : c == '"' ? "&quot;" : std::string(1, c);
  std::ofstream(module)
      << R"(<?xml version="1.0" encoding="UTF-8"?>)"
      << R"(<!DOCTYPE script:module PUBLIC "-//OpenOffice.org//DTD OfficeDocument 1.0//EN" "module.dtd">)"
      << R"(<script:module xmlns:script="http://openoffice.org/2000/script" script:name="Module1" )"
      << R"(script:language="StarBasic">)" << escaped << "</script:module>";
  return env;
}

// A user edits our workbook in LibreOffice: changes a price, deletes a line, inserts a line of
// their own. The rows that kept their records keep what the program set; the new row is read
// from its cells, the changed price is taken.
TEST(CarriedWorkbook, EditedInLibreOfficeKeepsWhatStillStandsOnItsRows) {
  if (auto why = test::missing_peer(Peer::kLibreOffice); !why.empty()) GTEST_SKIP() << why;
  test::AppFixture app;
  const Json sent = edited_estimate(app);
  const auto book = app.dir / "book.xlsx", edited = app.dir / "edited.xlsx";
  app.call("export_estimate_xlsx", {{"id", sent["estimate"]["id"]}, {"path", book.string()}});

  // Rows from 0: the title, the header, then the lines from row 2.
  const std::string env = libreoffice_macro_profile(app.dir / "lo-profile", R"(
Sub Run
  Dim load(0) As New com.sun.star.beans.PropertyValue
  load(0).Name = "Hidden" : load(0).Value = True
  doc = StarDesktop.loadComponentFromURL(ConvertToURL(")" + book.string() + R"("), "_blank", 0, load())
  sheet = doc.Sheets.getByIndex(0)
  sheet.getCellByPosition(4, 3).setValue(777)
  sheet.Rows.removeByIndex(5, 1)
  sheet.Rows.insertByIndex(5, 1)
  sheet.getCellByPosition(1, 5).setString("Плитка настенная")
  sheet.getCellByPosition(2, 5).setString("м²")
  sheet.getCellByPosition(3, 5).setValue(12)
  sheet.getCellByPosition(4, 5).setValue(900)
  Dim save(0) As New com.sun.star.beans.PropertyValue
  save(0).Name = "FilterName" : save(0).Value = "Calc MS Excel 2007 XML"
  doc.storeToURL(ConvertToURL(")" + edited.string() + R"("), save())
  doc.close(True)
End Sub
)");
  const auto run = test::run_tool("timeout 300 soffice " + env + " --headless 'macro:///Standard.Module1.Run'");
  ASSERT_TRUE(std::filesystem::exists(edited)) << run.out;

  const Json id = app.call("import_estimate_xlsx", {{"path", edited.string()}});
  const Json got = app.call("get_estimate", {{"id", id}});
  Json expected = sent;
  Json& lines = expected["lines"];
  lines[1]["unit_price"] = 777;
  lines.erase(3);
  lines.insert(lines.begin() + 3, Json{{"id", 0},
                                       {"line_type", "full"},
                                       {"name", "Плитка настенная"},
                                       {"unit", "м²"},
                                       {"quantity", 12},
                                       {"unit_price", 900},
                                       {"category", guess_category("Плитка настенная")}});
  ASSERT_EQ(got["lines"].size(), lines.size());
  for (size_t l = 0; l < lines.size(); ++l) {
    SCOPED_TRACE("line " + std::to_string(l));
    for (const char* key : {"line_type", "name", "category", "unit", "quantity", "unit_price", "fixed_total"})
      EXPECT_EQ(got["lines"][l][key], lines[l].value(key, Json())) << key;
    EXPECT_EQ(by_position(got["lines"][l]["formula"], got["lines"]),
              by_position(lines[l].value("formula", Json()), lines));
  }
  Json fa = sent["footer"], fb = got["footer"];
  fa.erase("estimate_id"), fb.erase("estimate_id");
  EXPECT_EQ(fb, fa);  // the add-on, the markup formula, the extras on and off as they were
  for (const char* key : {"mode", "calc_params_json"}) EXPECT_EQ(got["estimate"][key], sent["estimate"][key]);
}

// The hidden records change nothing of what LibreOffice shows, prints or saves as CSV.
TEST(CarriedWorkbook, LibreOfficeRendersTheSameAsWithoutTheRecords) {
  if (auto why = test::missing_peer(Peer::kLibreOffice); !why.empty()) GTEST_SKIP() << why;
  if (!test::have_tool("pdftotext")) GTEST_SKIP() << "pdftotext (poppler-utils) is not installed";
  test::AppFixture app;
  const Json sent = edited_estimate(app);
  const SaveEstimatePayload estimate =
      app.state.with_db([&](Database& db) { return read_estimate(db, sent["estimate"]["id"].get<int64_t>()); });
  const EstimateTotals totals = compute_totals(estimate.lines, estimate.footer);
  const auto with = app.dir / "with.xlsx", without = app.dir / "without.xlsx";
  write_estimate_workbook(estimate, totals, with, HiddenValues::kCarried);
  write_estimate_workbook(estimate, totals, without, HiddenValues::kLeftOut);

  const auto out = app.dir / "rendered";
  auto convert = [&](const std::string& filter) {
    return test::run_tool("timeout 300 soffice -env:UserInstallation=file://" + (app.dir / "lo-profile").string() +
                          " --headless --convert-to " + filter + " --outdir " + test::quoted(out) + " " +
                          test::quoted(with) + " " + test::quoted(without));
  };
  const auto csv = convert("'csv:Text - txt - csv (StarCalc):44,34,76,1'");
  const auto pdf = convert("pdf");
  for (const char* ext : {"csv", "pdf"})
    for (const char* stem : {"with", "without"})
      ASSERT_TRUE(std::filesystem::exists(out / (std::string(stem) + "." + ext))) << csv.out << pdf.out;

  const std::string with_csv = test::read_text(out / "with.csv");
  EXPECT_EQ(with_csv, test::read_text(out / "without.csv"));
  EXPECT_NE(with_csv.find("Штукатурка стен"), std::string::npos);
  EXPECT_EQ(with_csv.find("calcora"), std::string::npos);
  auto pdf_text = [&](const char* stem) {
    return test::run_tool("pdftotext -layout " + test::quoted(out / (std::string(stem) + ".pdf")) + " -").out;
  };
  const std::string with_pdf = pdf_text("with");
  EXPECT_EQ(with_pdf, pdf_text("without"));
  EXPECT_NE(with_pdf.find("Штукатурка стен"), std::string::npos);
}

}  // namespace
}  // namespace calcora
