#include "exchange/catalog_table.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <initializer_list>

#include "calc/category.h"
#include "common/file_io.h"
#include "common/number_text.h"
#include "common/utf8_path.h"
#include "exchange/cell_values.h"
#include "exchange/csv_table.h"
#include "exchange/number_text.h"
#include "store/unicode_lower.h"

namespace calcora {

namespace {

enum Meaning { kName, kSku, kUnit, kPrice, kCost, kType, kCategory, kMeaningCount };

// Lower-case; the unit, type and category words include those of the catalog workbook's own header.
const std::array<std::vector<std::string>, kMeaningCount> kHeaderWords = {{
    {"name", "работа", "название", "наименование"},
    {"sku", "код", "article", "артикул"},
    {"ед", "unit", "единица", "ед.изм.", "ед. изм."},
    {"price", "цена", "продажа", "default_price"},
    {"cost", "закуп", "cost_price", "себестоимость"},
    {"тип"},
    {"категория"},
}};

// A supplier's price list may open with its name, address and date above the header row.
constexpr size_t kHeaderSearchRows = 10;

const Cell& cell_at(const std::vector<std::vector<Cell>>& rows, size_t r, size_t c) {
  static const Cell kEmpty;
  return r < rows.size() && c < rows[r].size() ? rows[r][c] : kEmpty;
}

std::string_view trim_view(std::string_view s) {
  const char* ws = " \t\r\n\v\f";
  size_t b = s.find_first_not_of(ws);
  if (b == std::string_view::npos) return {};
  return s.substr(b, s.find_last_not_of(ws) - b + 1);
}

std::string trim(const std::string& s) { return std::string(trim_view(s)); }

std::string text_of(const Cell& cell) { return cell_text(cell).value_or(""); }

std::optional<std::string> non_blank(std::string s) {
  s = trim(s);
  return s.empty() ? std::nullopt : std::optional(std::move(s));
}

// A cell's trimmed text, or nothing when it is blank; a text cell is copied once.
std::optional<std::string> non_blank(const Cell& cell) {
  if (cell.kind != CellKind::kText) return non_blank(text_of(cell));
  const std::string_view text = trim_view(cell.text);
  return text.empty() ? std::nullopt : std::optional<std::string>(text);
}

// The same, taking the text out of the cell when it needs no trimming (the cell is read once).
std::optional<std::string> take_non_blank(std::vector<std::vector<Cell>>& rows, size_t r, size_t c) {
  if (r >= rows.size() || c >= rows[r].size()) return std::nullopt;
  Cell& cell = rows[r][c];
  if (cell.kind == CellKind::kText && !cell.text.empty() && trim_view(cell.text).size() == cell.text.size())
    return std::move(cell.text);
  return non_blank(cell);
}

// A header cell, or a label under it: trimmed, lower-cased, "ё" read as "е".
std::string header_key(const Cell& cell) {
  std::string key = unicode_lower(trim(text_of(cell)));
  for (size_t pos; (pos = key.find("ё")) != std::string::npos;) key.replace(pos, std::string("ё").size(), "е");
  return key;
}

// Reads a type or category cell: the workbook's label or the stored word itself, in any letter
// case. Lower-cased once per import, not per row.
class LabelReader {
 public:
  template <size_t N>
  explicit LabelReader(const CatalogLabel (&labels)[N]) {
    for (const auto& l : labels) {
      keys_.emplace_back(l.label, l.stored);
      keys_.emplace_back(unicode_lower(l.label), l.stored);
      keys_.emplace_back(l.stored, l.stored);
    }
  }
  std::optional<std::string> stored_value(const Cell& cell) const {
    // The program's own workbook writes the labels exactly; other spellings take the slower path.
    const std::string text = trim(text_of(cell));
    for (const auto& [key, stored] : keys_)
      if (text == key) return stored;
    const std::string lowered = header_key(cell);
    for (const auto& [key, stored] : keys_)
      if (lowered == key) return stored;
    return std::nullopt;
  }

 private:
  std::vector<std::pair<std::string, std::string>> keys_;
};

// A figure beyond reason in a row: the row is left out rather than stored.
bool row_beyond_number_limit(std::initializer_list<std::optional<double>> values) {
  for (const auto& v : values)
    if (v && std::fabs(*v) > kNumberLimit) return true;
  return false;
}

// The leftmost column of each meaning in a header row.
std::array<std::optional<size_t>, kMeaningCount> header_columns(const std::vector<Cell>& header) {
  std::array<std::optional<size_t>, kMeaningCount> columns;
  for (size_t c = 0; c < header.size(); ++c) {
    const std::string key = header_key(header[c]);
    for (size_t m = 0; m < kMeaningCount; ++m)
      for (const auto& word : kHeaderWords[m])
        if (key == word && !columns[m]) columns[m] = c;
  }
  return columns;
}

void read_price_list(std::vector<std::vector<Cell>>& rows, size_t header_row,
                     const std::array<std::optional<size_t>, kMeaningCount>& col, CatalogTable& table) {
  auto text = [&](size_t r, Meaning m) -> std::optional<std::string> {
    return col[m] ? take_non_blank(rows, r, *col[m]) : std::nullopt;
  };
  auto number = [&](size_t r, Meaning m) -> std::optional<double> {
    auto t = text(r, m);
    return t ? parse_decimal_comma(*t) : std::nullopt;
  };
  const LabelReader types(kLineTypeLabels), categories(kCategoryLabels);
  auto label = [&](size_t r, Meaning m, const LabelReader& reader) -> std::optional<std::string> {
    return col[m] ? reader.stored_value(cell_at(rows, r, *col[m])) : std::nullopt;
  };
  for (size_t r = header_row + 1; r < rows.size(); ++r) {
    auto name = text(r, kName);
    CatalogPosition p;
    if (name) {
      p.default_price = number(r, kPrice);
      p.cost_price = number(r, kCost);
    }
    if (!name || row_beyond_number_limit({p.default_price, p.cost_price})) {
      ++table.skipped_rows;
      continue;
    }
    p.category = guess_category(*name);
    p.name = std::move(*name);
    p.sku = text(r, kSku);
    p.unit = text(r, kUnit);
    if (auto type = label(r, kType, types)) {
      p.line_type = std::move(*type);
      p.line_type_read = true;
    }
    if (auto category = label(r, kCategory, categories)) {
      p.category = std::move(*category);
      p.category_read = true;
    }
    table.positions.push_back(std::move(p));
  }
}

void read_estimate_workbook(const std::vector<std::vector<Cell>>& rows, CatalogTable& table) {
  for (size_t r = 2; r < rows.size(); ++r) {
    auto name = non_blank(cell_at(rows, r, 1));
    if (!name) continue;
    CatalogPosition p;
    p.unit = non_blank(cell_at(rows, r, 2));
    const auto quantity = cell_number(cell_at(rows, r, 3));
    const auto price = cell_number(cell_at(rows, r, 4));
    const auto sum = cell_number(cell_at(rows, r, 5));
    if (row_beyond_number_limit({quantity, price, sum})) {
      ++table.skipped_rows;
      continue;
    }
    if (!p.unit && !quantity) {
      if (!sum || *sum <= 0) continue;
      p.line_type = "fixed";
      p.default_price = sum;
    } else if (!price && sum && *sum == 0) {
      p.line_type = "quantity_only";
    } else if (price && *price > 0) {
      p.default_price = price;
    }
    p.category = guess_category(*name);
    p.name = std::move(*name);
    table.positions.push_back(std::move(p));
  }
}

void read_plain_list(const std::vector<std::vector<Cell>>& rows, CatalogTable& table) {
  for (size_t r = 0; r < rows.size(); ++r) {
    auto name = non_blank(cell_at(rows, r, 0));
    if (!name) continue;
    CatalogPosition p;
    p.category = guess_category(*name);
    p.name = std::move(*name);
    table.positions.push_back(std::move(p));
  }
}

bool has_csv_extension(const std::filesystem::path& path) { return unicode_lower(path_utf8(path.extension())) == ".csv"; }

}  // namespace

// A CSV price list of 100,000 positions is about 10 MB; far larger files are refused before
// they are read, so that their cells cannot fill the machine's memory.
constexpr size_t kMaxCsvBytes = size_t(64) << 20;

std::vector<std::vector<Cell>> catalog_rows_from_csv(std::string_view text) {
  return parse_csv_table(
      text, [](const std::vector<Cell>& record) { return header_columns(record)[kName].has_value(); },
      kHeaderSearchRows);
}

std::vector<std::vector<Cell>> read_catalog_rows(const std::filesystem::path& path) {
  if (has_csv_extension(path)) return catalog_rows_from_csv(read_whole_file(path, kMaxCsvBytes));
  return read_first_sheet(path).take_rows();
}

CatalogTable catalog_table_from_rows(std::vector<std::vector<Cell>> rows) {
  CatalogTable table;
  if (rows.empty()) return table;
  if (const auto columns = header_columns(rows[0]); columns[kName]) {
    table.layout = CatalogLayout::kPriceList;
    read_price_list(rows, 0, columns, table);
    return table;
  }
  if (rows.size() >= 2 && unicode_lower(text_of(cell_at(rows, 1, 1))).find("наименование") != std::string::npos) {
    table.layout = CatalogLayout::kEstimateWorkbook;
    read_estimate_workbook(rows, table);
    return table;
  }
  for (size_t r = 1; r < std::min(rows.size(), kHeaderSearchRows); ++r) {
    if (const auto columns = header_columns(rows[r]); columns[kName]) {
      table.layout = CatalogLayout::kPriceList;
      read_price_list(rows, r, columns, table);
      return table;
    }
  }
  read_plain_list(rows, table);
  return table;
}

}  // namespace calcora
