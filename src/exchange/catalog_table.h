// Reads the positions of a catalog file, a workbook or a CSV file, in one of three layouts
// decided by its first rows: a price list with recognised column headers (in one of its first
// rows, below a supplier's title), an estimate workbook as the program exports it, or a plain
// list of names.
#pragma once

#include <cstddef>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "exchange/xlsx_reader.h"

namespace calcora {

// A price list's absent values (no column, a blank cell, a price that does not read as a
// number) leave an existing item's field as it is; a new item gets NULL there.
struct CatalogPosition {
  std::string name;  // trimmed, never blank
  std::optional<std::string> unit;
  std::optional<double> default_price;
  std::optional<double> cost_price;  // price lists only
  std::string line_type = "full";
  std::string category;
  std::optional<std::string> sku;  // price lists only
  // Whether the type and the category come from the file's own columns. Otherwise they are
  // what a new item gets ("full" and the guess from the name) and an existing one keeps its own.
  bool line_type_read = false;
  bool category_read = false;
};

// The words that the catalog workbook writes for stored types and categories, and reads back.
struct CatalogLabel {
  const char* stored;
  const char* label;
};
inline constexpr CatalogLabel kLineTypeLabels[] = {
    {"quantity_only", "Без цены"}, {"fixed", "Фикс. сумма"}, {"full", "Полная"}};
inline constexpr CatalogLabel kCategoryLabels[] = {
    {"material", "Материал"}, {"equipment", "Техника"}, {"work", "Работа"}};

enum class CatalogLayout { kPriceList, kEstimateWorkbook, kPlainList };

struct CatalogTable {
  CatalogLayout layout = CatalogLayout::kPlainList;
  std::vector<CatalogPosition> positions;
  // Rows left out that count as skipped: price-list rows without a name, and rows whose price,
  // cost, quantity or sum is beyond kNumberLimit (a misread column or a typing slip).
  size_t skipped_rows = 0;
};

// The rows of a CSV file: from its header row, should one stand below a title (csv_table.h).
std::vector<std::vector<Cell>> catalog_rows_from_csv(std::string_view text);

// The rows of the file: CSV (by the extension, any letter case) or the first sheet of a workbook.
std::vector<std::vector<Cell>> read_catalog_rows(const std::filesystem::path& path);

// Takes the rows over: the positions' texts are moved out of their cells.
CatalogTable catalog_table_from_rows(std::vector<std::vector<Cell>> rows);

}  // namespace calcora
