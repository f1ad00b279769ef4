// Reading a CSV price list into rows of text cells.
#include "exchange/csv_table.h"

#include <gtest/gtest.h>

namespace calcora {
namespace {

using Rows = std::vector<std::vector<std::string>>;

Rows texts(std::string_view csv) {
  Rows out;
  for (const auto& row : parse_csv_table(csv)) {
    out.emplace_back();
    for (const auto& cell : row) out.back().push_back(cell.text);
  }
  return out;
}

TEST(CsvTable, QuotesSeparatorsAndLineEnds) {
  struct Case {
    const char* csv;
    Rows rows;
  };
  const Case cases[] = {
      {"a;\"b;c\";\"d\"\"e\"\r\nf;;\n", {{"a", "b;c", "d\"e"}, {"f", "", ""}}},
      {"x\ry;z\n", {{"x\ry", "z"}}},                          // a lone CR belongs to the field
      {"a;\"multi\nline\";z", {{"a", "multi\nline", "z"}}},  // no line end after the last row
      {"\"\";\n\n\nn;\"q\"x\n", {{"", ""}, {"n", "qx"}}},  // blank lines are no rows
      {"a,b\nc,\"d,e\"\n", {{"a", "b"}, {"c", "d,e"}}},        // no ";" in the first line: ","
      {"\xEF\xBB\xBFЦена;Ёж\nтри;\"ч\"\"е\"", {{"Цена", "Ёж"}, {"три", "ч\"е"}}},
      {"", {}},
  };
  for (const auto& c : cases) EXPECT_EQ(texts(c.csv), c.rows) << c.csv;
}

}  // namespace
}  // namespace calcora
