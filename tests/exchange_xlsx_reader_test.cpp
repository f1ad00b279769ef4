// The workbook reader: cell kinds as stored, the used area, workbooks written by LibreOffice,
// and hostile archives that must fail with a clear text instead of crashing or filling memory.
#include <gtest/gtest.h>

#include <fstream>

#include "common/errors.h"
#include "exchange/cell_values.h"
#include "exchange/xlsx_reader.h"
#include "exchange_support.h"

namespace calcora {
namespace {

std::string reader_error(const std::filesystem::path& path, const XlsxLimits& limits = {}) {
  try {
    read_first_sheet(path, limits);
  } catch (const CommandError& e) {
    return e.what();
  }
  return "no error";
}

TEST(XlsxReader, CellKindsAndUsedArea) {
  test::TempDir dir;
  // Values start at B2, so the used area starts there; the style-only cell A1 holds no value.
  const std::string sheet =
      R"(<row r="1"><c r="A1" s="1"/></row>)"
      R"(<row r="2"><c r="B2" t="s"><v>0</v></c><c r="C2" t="s"><v>1</v></c><c r="D2" t="inlineStr"><is><t>Встроенная</t></is></c></row>)"
      R"(<row r="3"><c r="B3"><v>2024</v></c><c r="C3"><v>12.5</v></c><c r="D3" t="b"><v>1</v></c>)"
      R"(<c r="E3"><f>B3*2</f><v>4048</v></c><c r="F3" t="str"><f>"a"&amp;"b"</f><v>ab</v></c><c r="G3" t="e"><v>#DIV/0!</v></c></row>)"
      R"(<row><c><v>1</v></c><c t="s"><v>2</v></c><c s="1"><v>45000</v></c><c s="2"><v>45000.5</v></c></row>)";
  const std::string shared =
      R"(<si><t>Кабель ВВГ</t></si><si><r><t>Жирный </t></r><r><t>и обычный</t></r><rPh><t>фонетика</t></rPh></si>)"
      R"(<si><t xml:space="preserve"> 12,5 </t></si>)";
  auto entries = test::minimal_workbook(sheet, shared);
  // Cell format 1 shows a built-in date format, format 2 a custom one with a quoted word.
  entries["xl/styles.xml"] =
      R"(<styleSheet xmlns="http://schemas.openxmlformats.org/spreadsheetml/2006/main"><numFmts>)"
      R"(<numFmt numFmtId="164" formatCode="#,##0.00&quot;руб. мес&quot;"/></numFmts>)"
      R"(<cellXfs><xf numFmtId="0"/><xf numFmtId="14"/><xf numFmtId="164"/></cellXfs></styleSheet>)";
  const std::string rels_end = "</Relationships>";
  auto& rels = entries["xl/_rels/workbook.xml.rels"];
  rels.insert(rels.rfind(rels_end), R"(<Relationship Id="rId3" Type="http://schemas.openxmlformats.org/)"
                                    R"(officeDocument/2006/relationships/styles" Target="styles.xml"/>)");
  test::write_zip(dir / "kinds.xlsx", entries);
  SheetArea area = read_first_sheet(dir / "kinds.xlsx");
  EXPECT_EQ(area.first_row(), 1u);
  EXPECT_EQ(area.first_col(), 0u);  // the row without references places its cells from column A
  ASSERT_EQ(area.row_count(), 3u);

  struct Case {
    size_t row, col;
    std::optional<std::string> text;
    std::optional<double> number;
  };
  const Case cases[] = {
      {0, 1, "Кабель ВВГ", std::nullopt},
      {0, 2, "Жирный и обычный", std::nullopt},
      {0, 3, "Встроенная", std::nullopt},
      {1, 1, "2024", 2024},
      {1, 2, "12.5", 12.5},
      {1, 3, std::nullopt, std::nullopt},  // boolean
      {1, 4, "4048", 4048},                // formula: its stored result
      {1, 5, "ab", std::nullopt},
      {1, 6, std::nullopt, std::nullopt},  // error value
      {2, 0, "1", 1},
      {2, 1, " 12,5 ", std::nullopt},      // spaces around: no number
      {2, 2, std::nullopt, std::nullopt},  // a date
      {2, 3, "45000.5", 45000.5},          // a number whose format only quotes "мес"
      {0, 0, std::nullopt, std::nullopt},  // empty
  };
  for (const auto& c : cases) {
    const Cell& cell = area.at(c.row, c.col);
    EXPECT_EQ(cell_text(cell), c.text) << c.row << "," << c.col;
    EXPECT_EQ(cell_number(cell), c.number) << c.row << "," << c.col;
  }
  EXPECT_EQ(cell_number(Cell{CellKind::kText, 0, "1500,00"}), 1500);
  EXPECT_EQ(cell_number(Cell{CellKind::kText, 0, "1 500,00"}), std::nullopt);
}

TEST(XlsxReader, FirstSheetIsTheFirstInWorkbookOrder) {
  test::TempDir dir;
  auto entries = test::minimal_workbook(R"(<row r="1"><c r="A1" t="inlineStr"><is><t>второй файл</t></is></c></row>)");
  entries["xl/worksheets/sheet0.xml"] =
      R"(<worksheet><sheetData><row r="1"><c r="A1"><v>1</v></c></row></sheetData></worksheet>)";
  // The workbook names sheet1.xml first although another part sorts before it.
  auto& rels = entries["xl/_rels/workbook.xml.rels"];
  rels.insert(rels.rfind("</Relationships>"),
              R"(<Relationship Id="rId9" Type="http://schemas.openxmlformats.org/officeDocument/2006/relationships/)"
              R"(worksheet" Target="/xl/worksheets/sheet0.xml"/>)");
  auto& book = entries["xl/workbook.xml"];
  book.insert(book.find("</sheets>"), R"(<sheet name="B" sheetId="2" r:id="rId9"/>)");
  test::write_zip(dir / "order.xlsx", entries);
  EXPECT_EQ(cell_text(read_first_sheet(dir / "order.xlsx").at(0, 0)), "второй файл");
}

TEST(XlsxReader, ReadsWorkbookWrittenByLibreOffice) {
  if (!test::have_soffice()) GTEST_SKIP() << "soffice is not installed";
  test::TempDir dir;
  {
    std::ofstream csv(dir / "peer.csv", std::ios::binary);
    csv << "Смета;;\nБетон М300;2,5;=B2*2\nМонтаж розеток;1500;=B3+1\n";
  }
  auto xlsx = test::soffice_convert(dir / "peer.csv",
                                    "--infilter='CSV:59,34,76,1,,1049' --convert-to 'xlsx:Calc MS Excel 2007 XML'",
                                    dir / "out", "xlsx");
  ASSERT_TRUE(xlsx) << "LibreOffice did not convert the CSV";
  SheetArea area = read_first_sheet(*xlsx);
  ASSERT_EQ(area.row_count(), 3u);
  EXPECT_EQ(cell_text(area.at(0, 0)), "Смета");
  EXPECT_EQ(cell_text(area.at(1, 0)), "Бетон М300");
  EXPECT_EQ(cell_number(area.at(1, 1)), 2.5);
  EXPECT_EQ(cell_number(area.at(1, 2)), 5);  // computed by LibreOffice and stored with the formula
  EXPECT_EQ(cell_number(area.at(2, 2)), 1501);
}

TEST(XlsxReader, HostileInputsFailWithClearText) {
  test::TempDir dir;
  const std::string ok_sheet = R"(<row r="1"><c r="A1" t="s"><v>0</v></c></row>)";

  test::write_zip(dir / "good.xlsx", test::minimal_workbook(ok_sheet, "<si><t>x</t></si>"));
  const std::string good = test::read_text(dir / "good.xlsx");
  {
    std::ofstream(dir / "truncated.xlsx", std::ios::binary) << good.substr(0, good.size() / 2);
    std::ofstream(dir / "text.xlsx", std::ios::binary) << "это не книга\n";
  }
  test::write_zip(dir / "malformed.xlsx", test::minimal_workbook(R"(<row r="1"><c r="A1"><v>1</v></row>)"));
  auto no_sheets = test::minimal_workbook("");
  no_sheets["xl/workbook.xml"] =
      R"(<workbook xmlns="http://schemas.openxmlformats.org/spreadsheetml/2006/main"><sheets/></workbook>)";
  test::write_zip(dir / "nosheet.xlsx", no_sheets);
  auto doctype = test::minimal_workbook(ok_sheet, "<si><t>x</t></si>");
  doctype["xl/sharedStrings.xml"] =
      R"(<?xml version="1.0"?><!DOCTYPE sst [<!ENTITY a "aaaaaaaaaa"><!ENTITY b "&a;&a;&a;&a;&a;">]><sst><si><t>&b;</t></si></sst>)";
  test::write_zip(dir / "doctype.xlsx", doctype);
  // Shared strings that inflate far beyond the cap (the archive stores them in a few kilobytes).
  test::write_zip(dir / "bomb.xlsx",
                  test::minimal_workbook(ok_sheet, "<si><t>" + std::string(8 << 20, 'A') + "</t></si>"));

  XlsxLimits small;
  small.max_shared_strings_bytes = 1 << 20;
  XlsxLimits tiny_parts;
  tiny_parts.max_part_bytes = 1 << 20;

  struct Case {
    const char* file;
    XlsxLimits limits;
    const char* expected_part;
  };
  const Case cases[] = {
      {"truncated.xlsx", {}, "файл не читается как книга Excel: "},
      {"text.xlsx", {}, "файл не читается как книга Excel: "},
      {"missing.xlsx", {}, "файл не читается как книга Excel: файл не найден"},
      {"malformed.xlsx", {}, "книга Excel повреждена: xl/worksheets/sheet1.xml: mismatched tag"},
      {"nosheet.xlsx", {}, "no sheet"},
      {"doctype.xlsx", {}, "DOCTYPE"},
      {"bomb.xlsx", small, "общие строки больше 1 МБ"},
      {"bomb.xlsx", tiny_parts, "xl/sharedStrings.xml больше 1 МБ после распаковки"},
  };
  for (const auto& c : cases) {
    EXPECT_NE(reader_error(dir / c.file, c.limits).find(c.expected_part), std::string::npos)
        << c.file << ": " << reader_error(dir / c.file, c.limits);
  }
  EXPECT_EQ(cell_text(read_first_sheet(dir / "good.xlsx").at(0, 0)), "x");
}

}  // namespace
}  // namespace calcora
