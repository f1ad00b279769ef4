#include "exchange/estimate_workbook.h"

#include <string>

#include "common/number_text.h"
#include "exchange/estimate_columns.h"
#include "exchange/footer_rows.h"
#include "exchange/workbook_carrier.h"
#include "exchange/workbook_file.h"

namespace calcora {

namespace {

// The header of the name column carries no-break spaces, also at its end.
constexpr const char* kHeaders[] = {"№",    "Наименование\u00A0работ\u00A0", "Ед.изм.", "Объем работ", "Стоимость",
                                    "Сумма"};
constexpr double kWidths[] = {3, 40, 10, 12, 12, 12};
constexpr int kLastRunNumber = 80;

class SheetWriter {
 public:
  explicit SheetWriter(lxw_worksheet* sheet) : sheet_(sheet) {}
  void text(lxw_row_t row, lxw_col_t col, const std::string& value, lxw_format* format = nullptr) {
    check_xlsx(worksheet_write_string(sheet_, row, col, value.c_str(), format));
  }
  void number(lxw_row_t row, lxw_col_t col, double value) {
    check_xlsx(worksheet_write_number(sheet_, row, col, spreadsheet_value(value), nullptr));
  }
  void number(lxw_row_t row, lxw_col_t col, const std::optional<double>& value) {
    if (value) number(row, col, *value);
  }
  // The formula goes with the value it computes to. Excel recalculates on opening anyway, but
  // LibreOffice trusts the stored result of a workbook that names Excel as its writer: stored
  // as 0, every sum and the grand total would show 0 to the customer.
  void formula(lxw_row_t row, lxw_col_t col, const std::string& value, double result) {
    check_xlsx(worksheet_write_formula_num(sheet_, row, col, value.c_str(), nullptr, spreadsheet_value(result)));
  }
  // Returns the amount, so the caller can add up what the grand total's SUM covers.
  double labelled(lxw_row_t row, const char* label, double amount) {
    text(row, kE, label);
    number(row, kF, amount);
    return amount;
  }

 private:
  lxw_worksheet* sheet_;
};

std::string r1(lxw_row_t row) { return std::to_string(row + 1); }

}  // namespace

void write_estimate_workbook(const SaveEstimatePayload& estimate, const EstimateTotals& totals,
                             const std::filesystem::path& path, HiddenValues hidden) {
  constexpr const char* kTableSheet = "Лист1";
  WorkbookFile file;
  CarrierRecords carried;
  lxw_worksheet* sheet = file.add_sheet(kTableSheet);
  for (lxw_col_t c = kA; c <= kF; ++c) check_xlsx(worksheet_set_column(sheet, c, c, kWidths[c], nullptr));
  lxw_format* bold = workbook_add_format(file.book());
  format_set_bold(bold);

  SheetWriter out(sheet);
  out.text(0, kB, estimate.estimate.object_name);
  for (lxw_col_t c = kA; c <= kF; ++c) out.text(1, c, kHeaders[c], bold);

  lxw_row_t row = 2;
  int number = 1;
  for (const auto& line : estimate.lines) {
    carried.line(row, line);
    out.number(row, kA, number);
    out.text(row, kB, line.name);
    if (line.line_type == "quantity_only") {
      if (line.unit) out.text(row, kC, *line.unit);
      out.number(row, kD, line.quantity);
      out.number(row, kF, 0.0);
    } else if (line.line_type == "fixed") {
      out.number(row, kF, line.fixed_total);
    } else {
      if (line.unit) out.text(row, kC, *line.unit);
      out.number(row, kD, line.quantity);
      out.number(row, kE, line.unit_price);
      out.formula(row, kF, "=D" + r1(row) + "*$E$" + r1(row), line.quantity.value_or(0) * line.unit_price.value_or(0));
    }
    ++number;
    ++row;
  }

  const EstimateFooter& footer = estimate.footer;
  const lxw_row_t first_total = row;
  double block_sum = 0;
  auto labelled = [&](FooterRowKind kind, const char* label, double amount) {
    carried.footer(row, kind, label, amount);
    return out.labelled(row++, label, amount);
  };
  block_sum += labelled(FooterRowKind::kWorks, kWorksLabel, totals.works);
  block_sum += labelled(FooterRowKind::kMaterials, kMaterialsLabel, totals.materials);
  block_sum += labelled(FooterRowKind::kEquipment, kEquipmentLabel, totals.equipment);
  const bool delivery = footer.show_delivery;
  if (delivery) block_sum += labelled(FooterRowKind::kDelivery, kDeliveryLabel, totals.delivery);
  for (const auto& extra : printed_extras(footer.extras_json)) {
    carried.footer(row, FooterRowKind::kExtra, extra.label, extra.amount, extra.index);
    out.text(row, kE, extra.label);
    out.number(row, kF, extra.amount);
    block_sum += extra.amount;
    ++row;
  }
  const bool markup = has_markup_formula(footer.markup_formula);
  if (markup) block_sum += labelled(FooterRowKind::kMarkup, kMarkupLabel, totals.markup);
  const lxw_row_t grand_row = row;
  carried.footer(row, FooterRowKind::kGrandTotal, kGrandTotalLabel, block_sum);
  out.text(row, kE, kGrandTotalLabel);
  out.formula(row, kF, "=SUM(F" + r1(first_total) + ":F" + r1(row - 1) + ")", block_sum);
  ++row;
  if (footer.show_advance) {
    labelled(FooterRowKind::kAdvance, kAdvanceLabel, footer.advance);
    carried.footer(row, FooterRowKind::kBalance, kBalanceLabel, block_sum - footer.advance);
    out.text(row, kE, kBalanceLabel);
    out.formula(row, kF, "=F" + r1(grand_row) + "-F" + r1(row - 1), block_sum - footer.advance);
    ++row;
  }

  // The column-A run below the block continues the line numbering up to 80, counting the
  // subtotal rows but not the extra sums.
  const int lines = static_cast<int>(estimate.lines.size());
  for (int n = lines + 5 + (delivery ? 1 : 0) + (markup ? 1 : 0) + (footer.show_advance ? 2 : 0); n <= kLastRunNumber;
       ++n)
    out.number(row++, kA, n);

  file.add_sheet("Лист2");
  file.add_sheet("Лист3");
  if (hidden == HiddenValues::kCarried) carried.write(file, kTableSheet, estimate);
  file.save(path);
}

}  // namespace calcora
