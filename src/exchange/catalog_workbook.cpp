#include "exchange/catalog_workbook.h"

#include "common/number_text.h"
#include "exchange/catalog_table.h"
#include "exchange/workbook_file.h"

namespace calcora {

namespace {

// The label of a stored value; anything unknown is written with the table's last label.
template <size_t N>
const char* label_of(const CatalogLabel (&labels)[N], const std::string& stored) {
  for (const auto& l : labels)
    if (stored == l.stored) return l.label;
  return labels[N - 1].label;
}

}  // namespace

void write_catalog_workbook(Database& db, const std::filesystem::path& path) {
  WorkbookFile file;
  lxw_worksheet* sheet = file.add_sheet("Лист1");
  const char* headers[] = {"Наименование", "Ед.изм.", "Цена", "Тип", "Категория"};
  const double widths[] = {60, 10, 12, 14, 12};
  for (lxw_col_t c = 0; c < 5; ++c) {
    check_xlsx(worksheet_write_string(sheet, 0, c, headers[c], nullptr));
    check_xlsx(worksheet_set_column(sheet, c, c, widths[c], nullptr));
  }
  auto st = db.prepare("SELECT name, unit, default_price, line_type, category FROM catalog_items ORDER BY name");
  lxw_row_t row = 1;
  while (st.step()) {
    check_xlsx(worksheet_write_string(sheet, row, 0, st.text(0).c_str(), nullptr));
    check_xlsx(worksheet_write_string(sheet, row, 1, st.text(1).c_str(), nullptr));
    if (!st.is_null(2)) check_xlsx(worksheet_write_number(sheet, row, 2, spreadsheet_value(st.real(2)), nullptr));
    check_xlsx(worksheet_write_string(sheet, row, 3, label_of(kLineTypeLabels, st.text(3)), nullptr));
    check_xlsx(worksheet_write_string(sheet, row, 4, label_of(kCategoryLabels, st.text(4)), nullptr));
    ++row;
  }
  file.save(path);
}

std::vector<StandardEntry> catalog_workbook_entries(const std::filesystem::path& file) {
  std::vector<StandardEntry> entries;
  for (auto& p : catalog_table_from_rows(read_catalog_rows(file)).positions)
    entries.push_back(StandardEntry{std::move(p.name), std::move(p.unit), p.default_price, p.line_type, p.category});
  return entries;
}

}  // namespace calcora
