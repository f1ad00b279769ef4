#include "exchange/workbook_carrier.h"

#include <cmath>
#include <iterator>

#include "common/errors.h"
#include "exchange/cell_values.h"

namespace calcora {

namespace {

// The first row: a mark, the layout's version, then the estimate's own record.
constexpr const char* kCarrierMark = "calcora-estimate";
constexpr double kCarrierVersion = 1;
// A spreadsheet cell holds at most 32,767 characters; longer records go on in the next cells.
constexpr size_t kChunkBytes = 30000;

enum CarrierColumn : lxw_col_t { kRowRef = 0, kRowWritten, kFirstChunk };

constexpr const char* kKindNames[] = {"works",  "materials",   "equipment", "delivery", "extra",
                                      "markup", "grand_total", "advance",   "balance"};

std::optional<FooterRowKind> kind_named(const std::string& name) {
  for (size_t i = 0; i < std::size(kKindNames); ++i)
    if (name == kKindNames[i]) return static_cast<FooterRowKind>(i);
  return std::nullopt;
}

void write_chunks(lxw_worksheet* sheet, lxw_row_t row, const Json& record) {
  const std::string text = record.dump(-1, ' ', false, Json::error_handler_t::replace);
  lxw_col_t col = kFirstChunk;
  for (size_t at = 0; at < text.size(); ++col) {
    size_t end = std::min(text.size(), at + kChunkBytes);
    while (end < text.size() && (static_cast<unsigned char>(text[end]) & 0xC0) == 0x80) --end;  // whole characters
    check_xlsx(worksheet_write_string(sheet, row, col, text.substr(at, end - at).c_str(), nullptr));
    at = end;
  }
}

std::optional<Json> read_chunks(const SheetArea& sheet, size_t row) {
  std::string text;
  for (size_t col = kFirstChunk; sheet.at(row, col).kind == CellKind::kText; ++col) text += sheet.at(row, col).text;
  Json record = Json::parse(text, nullptr, false);
  if (!record.is_object()) return std::nullopt;
  return record;
}

// The sheet row (from 1) a record stands on now: the reference's value as the spreadsheet
// program last computed it; the row as written when the file holds the formula without a result
// (a program that saved it without computing); nothing when the row was deleted.
std::optional<double> current_row(const SheetArea& sheet, size_t row) {
  const Cell& ref = sheet.at(row, kRowRef);
  if (ref.kind == CellKind::kNumber) return ref.number;
  if (ref.kind != CellKind::kEmpty || !ref.formula) return std::nullopt;
  const Cell& written = sheet.at(row, kRowWritten);
  if (written.kind == CellKind::kNumber) return written.number;
  return std::nullopt;
}

std::optional<std::string> optional_text(const Json& record, const char* key) {
  auto it = record.find(key);
  if (it == record.end() || !it->is_string()) return std::nullopt;
  return it->get<std::string>();
}

}  // namespace

void CarrierRecords::line(lxw_row_t row, const EstimateLine& line) {
  rows_.emplace_back(row, Json{{"line", to_json(line)}});
}

void CarrierRecords::footer(lxw_row_t row, FooterRowKind kind, const std::string& label, double amount,
                            int extra_index) {
  Json record = {{"footer", kKindNames[static_cast<size_t>(kind)]}, {"label", label}, {"amount", real_to_json(amount)}};
  if (extra_index >= 0) record["extra_index"] = extra_index;
  rows_.emplace_back(row, std::move(record));
}

void CarrierRecords::write(WorkbookFile& file, const char* table_sheet, const SaveEstimatePayload& estimate) const {
  lxw_worksheet* sheet = file.add_sheet(kCarrierSheetName);
  worksheet_hide(sheet);
  check_xlsx(worksheet_write_string(sheet, 0, kRowRef, kCarrierMark, nullptr));
  check_xlsx(worksheet_write_number(sheet, 0, kRowWritten, kCarrierVersion, nullptr));
  // The proposal settings stay out, as they do from the exchange file.
  write_chunks(sheet, 0,
               Json{{"mode", estimate.estimate.mode},
                    {"mode_mask_json", to_json_or_null(estimate.estimate.mode_mask_json)},
                    {"calc_params_json", to_json_or_null(estimate.estimate.calc_params_json)},
                    {"footer", to_json(estimate.footer)}});
  const std::string quoted_sheet = "'" + std::string(table_sheet) + "'!A";
  lxw_row_t out = 1;
  for (const auto& [row, record] : rows_) {
    const double sheet_row = row + 1;
    const std::string formula = "=ROW(" + quoted_sheet + std::to_string(row + 1) + ")";
    check_xlsx(worksheet_write_formula_num(sheet, out, kRowRef, formula.c_str(), nullptr, sheet_row));
    check_xlsx(worksheet_write_number(sheet, out, kRowWritten, sheet_row, nullptr));
    write_chunks(sheet, out, record);
    ++out;
  }
}

std::optional<CarriedEstimate> read_carrier(const SheetArea& carrier, const SheetArea& table) {
  if (carrier.first_row() != 0 || carrier.first_col() != 0) return std::nullopt;
  if (cell_text(carrier.at(0, kRowRef)) != kCarrierMark || cell_number(carrier.at(0, kRowWritten)) != kCarrierVersion)
    return std::nullopt;
  const auto head = read_chunks(carrier, 0);
  if (!head) return std::nullopt;
  CarriedEstimate out;
  try {
    out.mode = optional_text(*head, "mode").value_or("simple");
    out.mode_mask_json = optional_text(*head, "mode_mask_json");
    out.calc_params_json = optional_text(*head, "calc_params_json");
    out.footer = decode_value<EstimateFooter>(head->at("footer"));
  } catch (const std::exception&) {
    return std::nullopt;
  }

  for (size_t r = 1; r < carrier.row_count(); ++r) {
    const auto sheet_row = current_row(carrier, r);
    if (!sheet_row || *sheet_row < 1 || *sheet_row != std::floor(*sheet_row)) continue;
    const double area_row = *sheet_row - 1 - table.first_row();
    if (area_row < 0 || area_row >= static_cast<double>(table.row_count())) continue;
    const auto record = read_chunks(carrier, r);
    if (!record) continue;
    const size_t at = static_cast<size_t>(area_row);
    try {
      if (auto line = record->find("line"); line != record->end()) {
        out.lines[at] = decode_value<EstimateLine>(*line);
      } else if (auto kind = kind_named(optional_text(*record, "footer").value_or(""))) {
        CarriedFooterRow row{*kind, optional_text(*record, "label").value_or(""), 0, -1};
        if (auto amount = record->find("amount"); amount != record->end() && amount->is_number())
          row.amount = amount->get<double>();
        if (auto index = record->find("extra_index"); index != record->end() && index->is_number_integer())
          row.extra_index = index->get<int>();
        out.footer_rows[at] = std::move(row);
      }
    } catch (const std::exception&) {
      // A record that does not read leaves its row to be read from its visible cells.
    }
  }
  return out;
}

}  // namespace calcora
