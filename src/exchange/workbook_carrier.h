// What our estimate workbook carries out of the customer's sight, so that the program reads back
// what the visible cells cannot show: each line's type, category, quantity formula and id, what
// each footer row is (the markup with its formula, which extra sum, the add-on), the switched-off
// amounts, the mode and the calculator variables. It lives in a hidden sheet after the visible
// ones, which spreadsheet programs keep when they save and leave out of printing and CSV. Each
// record names its row of the table through a cell reference, which those programs move with
// the row when rows are inserted, deleted or moved, and turn into an error when it is deleted.
#pragma once

#include <xlsxwriter.h>

#include <cstddef>
#include <map>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "commands/json.h"
#include "exchange/workbook_file.h"
#include "exchange/xlsx_reader.h"
#include "store/estimate_records.h"

namespace calcora {

inline constexpr const char* kCarrierSheetName = "calcora";

enum class FooterRowKind {
  kWorks,
  kMaterials,
  kEquipment,
  kDelivery,
  kExtra,
  kMarkup,
  kGrandTotal,
  kAdvance,
  kBalance
};

// Collects the records while the table is written, then writes the hidden sheet.
class CarrierRecords {
 public:
  void line(lxw_row_t row, const EstimateLine& line);
  // `extra_index` is the extra sum's position in the footer's extras list.
  void footer(lxw_row_t row, FooterRowKind kind, const std::string& label, double amount, int extra_index = -1);
  // Adds the hidden sheet to `file`; `table_sheet` is the name of the sheet the rows belong to.
  void write(WorkbookFile& file, const char* table_sheet, const SaveEstimatePayload& estimate) const;

 private:
  std::vector<std::pair<lxw_row_t, Json>> rows_;
};

struct CarriedFooterRow {
  FooterRowKind kind;
  std::string label;  // as written in the label column
  double amount = 0;  // as written in the amount column
  int extra_index = -1;
};

// The records read back, keyed by the row of the table's used area where each stands now.
struct CarriedEstimate {
  std::string mode;
  std::optional<std::string> mode_mask_json;
  std::optional<std::string> calc_params_json;
  EstimateFooter footer;  // as stored, switched-off parts included
  std::map<size_t, EstimateLine> lines;
  std::map<size_t, CarriedFooterRow> footer_rows;
};

// Nothing when `carrier` is not a carrier sheet this program can read; records whose row was
// deleted, or that do not read, are left out.
std::optional<CarriedEstimate> read_carrier(const SheetArea& carrier, const SheetArea& table);

}  // namespace calcora
