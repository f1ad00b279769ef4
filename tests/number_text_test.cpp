// Numbers as every writer spells them: rounded to 15 significant digits, so the binary noise of
// arithmetic (0.1 + 0.2, 45 × 1.1, a grand total summed from 44 lines) never reaches a file.
#include <gtest/gtest.h>

#include <cmath>
#include <fstream>
#include <limits>
#include <sstream>

#include "calc/totals.h"
#include "common/number_text.h"
#include "exchange/cell_values.h"
#include "exchange/xlsx_reader.h"
#include "exchange_support.h"
#include "export/pdf/estimate_listing.h"
#include "store/estimate_repository.h"

namespace calcora {
namespace {

TEST(NumberText, AsSpreadsheetsShowIt) {
  const std::pair<double, const char*> cases[] = {
      {0.1 + 0.2, "0.3"},
      {45 * 1.1, "49.5"},
      {19.35 * 1.1, "21.285"},
      {21.280000000000005, "21.28"},
      {9576.000000000002, "9576"},
      {271935.67000000004, "271935.67"},
      {1500, "1500"},
      {1234.5, "1234.5"},
      {-20, "-20"},
      {-0.0, "0"},
      {1e21, "1000000000000000000000"},
      {1e-7, "0.0000001"},
      {123456789012.345, "123456789012.345"},
      {std::numeric_limits<double>::infinity(), ""},
      {std::nan(""), ""},
  };
  for (const auto& [value, text] : cases) {
    EXPECT_EQ(number_text(value), text) << text;
    if (*text) {
      EXPECT_EQ(std::stod(text), spreadsheet_value(value)) << text;
    }
  }
  EXPECT_EQ(number_text(std::optional<double>()), "");
  // The exact form stays for what must read back bit for bit.
  EXPECT_EQ(shortest_decimal(0.1 + 0.2), "0.30000000000000004");
}

// An estimate whose figures all carry binary noise: formula quantities as the page computed
// them before it rounded, and 44 lines whose sums add up to a noisy grand total.
Json noisy_lines() {
  Json lines = Json::array({{{"line_type", "full"}, {"name", "Стены"}, {"unit", "м²"}, {"quantity", 45 * 1.1},
                             {"unit_price", 100}},
                            {{"line_type", "full"}, {"name", "Откосы"}, {"unit", "м"}, {"quantity", 19.35 * 1.1},
                             {"unit_price", 450}},
                            {{"line_type", "full"}, {"name", "Грунт"}, {"unit", "л"}, {"quantity", 0.1 + 0.2},
                             {"unit_price", 1}}});
  for (int i = 1; i <= 41; ++i)
    lines.push_back({{"line_type", "full"}, {"name", "Позиция " + std::to_string(i)}, {"unit", "шт"},
                     {"quantity", 1.1 * i}, {"unit_price", 19.35}});
  return lines;
}

// What each writer must show, and what it must never show. The workbook's numbers are spelled
// by the workbook library with 16 digits, which for some values (8.8) adds a 16th that every
// spreadsheet rounds away; the figures a sum of noise would leave there must not appear.
void expect_clean(const std::string& text, const char* writer, bool all_digits_ours = true) {
  for (const char* shown : {"49.5", "21.285", "0.3", "4950", "9578.25"})
    EXPECT_NE(text.find(shown), std::string::npos) << writer << " lacks " << shown;
  for (const char* noise : {"49.50000000000001", "4950.000000000001", "9578.250000000002"})
    EXPECT_EQ(text.find(noise), std::string::npos) << writer << " shows " << noise;
  if (!all_digits_ours) return;
  for (const char* noise : {"0000000001", "9999999999", "00000004"})
    EXPECT_EQ(text.find(noise), std::string::npos) << writer << " shows " << noise;
}

TEST(NumberText, EveryWriterShowsNumbersWithoutBinaryNoise) {
  test::AppFixture app;
  const Json stored = app.make_estimate("Шум", noisy_lines());
  const int64_t id = stored["estimate"]["id"];
  const SaveEstimatePayload estimate = app.state.with_db([&](Database& db) { return read_estimate(db, id); });
  const EstimateTotals totals = compute_totals(estimate.lines, estimate.footer);
  ASSERT_NE(number_text(totals.grand), shortest_decimal(totals.grand)) << "the grand total should carry noise";

  app.call("export_estimate_csv", {{"id", id}, {"path", (app.dir / "e.csv").string()}});
  std::stringstream csv;
  csv << std::ifstream(app.dir / "e.csv").rdbuf();
  expect_clean(csv.str(), "CSV");
  EXPECT_NE(csv.str().find(";Общий итог;;;;" + number_text(totals.grand)), std::string::npos);

  std::string pdf_text;
  for (const auto& page : pdf::estimate_document(estimate, totals, pdf::kDefaultPrintFont).pages)
    for (const auto& line : page.lines) pdf_text += line.text + "\n";
  expect_clean(pdf_text, "PDF");
  EXPECT_NE(pdf_text.find("Общий итог: " + number_text(totals.grand)), std::string::npos);

  // The workbook stores numbers and the cached results of its formulas as spreadsheets hold them.
  app.call("export_estimate_xlsx", {{"id", id}, {"path", (app.dir / "e.xlsx").string()}});
  const std::string sheet = test::read_zip_entry(app.dir / "e.xlsx", "xl/worksheets/sheet1.xml");
  expect_clean(sheet, "workbook", false);
  const SheetArea area = read_first_sheet(app.dir / "e.xlsx");
  EXPECT_EQ(cell_number(area.at(2, 3)), 49.5);
  EXPECT_EQ(cell_number(area.at(2, 5)), 4950);
}

}  // namespace
}  // namespace calcora
