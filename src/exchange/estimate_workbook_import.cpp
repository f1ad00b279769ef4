#include "exchange/estimate_workbook_import.h"

#include <algorithm>
#include <cmath>
#include <map>
#include <vector>

#include "calc/category.h"
#include "calc/totals.h"
#include "commands/json.h"
#include "common/ascii.h"
#include "common/errors.h"
#include "common/random_id.h"
#include "exchange/cell_values.h"
#include "exchange/estimate_columns.h"
#include "exchange/footer_rows.h"
#include "exchange/workbook_carrier.h"

namespace calcora {

namespace {

constexpr const char* kMaterialDeliveryLabel = "Доставка материала";

struct RowCells {
  std::optional<std::string> name, unit;
  std::optional<double> quantity, price, sum;
  bool sum_is_formula = false;
};

RowCells row_cells(const SheetArea& area, size_t r) {
  return RowCells{cell_text(area.at(r, kB)),   cell_text(area.at(r, kC)),   cell_number(area.at(r, kD)),
                  cell_number(area.at(r, kE)), cell_number(area.at(r, kF)), area.at(r, kF).formula};
}

bool is_named(const std::optional<std::string>& name) { return name && !is_blank(*name); }

// Column E of a row whose name is blank: where the footer block puts its labels.
std::optional<std::string> footer_label(const SheetArea& area, size_t r) {
  if (is_named(cell_text(area.at(r, kB)))) return std::nullopt;
  return cell_text(area.at(r, kE));
}

double footer_amount(const SheetArea& area, size_t r) { return cell_number(area.at(r, kF)).value_or(0); }

EstimateLine line_named(const RowCells& row) {
  EstimateLine line;
  line.name = *row.name;
  line.unit = row.unit;
  line.quantity = row.quantity;
  line.unit_price = row.price;
  line.category = guess_category(line.name);
  return line;
}

// --- Workbooks of any layout: the type from which cells are filled, three footer labels.

std::optional<EstimateLine> general_line(const RowCells& row) {
  EstimateLine line = line_named(row);
  if (line.unit || line.quantity) {
    line.line_type = row.sum && !line.unit_price && *row.sum == 0 ? "quantity_only" : "full";
  } else if (row.sum) {
    line.line_type = "fixed";
    line.fixed_total = row.sum;
  } else {
    return std::nullopt;
  }
  return line;
}

void read_general_footer_row(const std::string& label, double amount, EstimateFooter& footer) {
  if (label == kMaterialsLabel) {
    footer.materials = amount;
    footer.show_materials = true;
  } else if (label == kMaterialDeliveryLabel) {
    footer.delivery = amount;
    footer.show_delivery = true;
  } else if (label == kAdvanceLabel) {
    footer.advance = amount;
    footer.show_advance = true;
  }
}

bool row_has_value(const SheetArea& area, size_t r) {
  for (size_t c = kA; c <= kF; ++c)
    if (area.at(r, c).kind != CellKind::kEmpty) return true;
  return false;
}

// A workbook of another kind (a household budget, a price list) would come in as an estimate of
// nonsense: its amounts in the unit column, its first rows taken for a title and a header. Its
// rows are told by their cells: estimate lines have a name and some quantity, price or sum.
void refuse_other_tables(size_t data_rows, size_t named_rows, size_t rows_with_number) {
  if (data_rows > 0 && named_rows == 0) throw CommandError(kNoNamesMessage);
  if (rows_with_number * 2 < named_rows) throw CommandError(kNoNumbersMessage);
}

void read_general_layout(const SheetArea& area, ImportedEstimate& out) {
  size_t data_rows = 0, named_rows = 0, rows_with_number = 0;
  for (size_t r = 2; r < area.row_count(); ++r) {
    if (row_has_value(area, r)) ++data_rows;
    const RowCells row = row_cells(area, r);
    if (!is_named(row.name)) {
      if (auto label = cell_text(area.at(r, kE))) read_general_footer_row(*label, row.sum.value_or(0), out.footer);
      continue;
    }
    ++named_rows;
    if (row.quantity || row.price || row.sum) ++rows_with_number;
    if (auto line = general_line(row)) out.lines.push_back(std::move(*line));
  }
  refuse_other_tables(data_rows, named_rows, rows_with_number);
}

// --- The program's own export: lines down to "Работы", then the subtotals, delivery, the
// extra sums and the markup up to "Общий итог", then the advance.

struct FooterBlock {
  size_t works_row;
  size_t grand_row;
};

// "Работы", "Материалы" and "Техника" in consecutive rows and "Общий итог" below them (the
// last one, should an extra sum carry that label too).
std::optional<FooterBlock> find_own_footer_block(const SheetArea& area) {
  for (size_t r = 2; r + 3 < area.row_count(); ++r) {
    if (footer_label(area, r) != kWorksLabel || footer_label(area, r + 1) != kMaterialsLabel ||
        footer_label(area, r + 2) != kEquipmentLabel)
      continue;
    for (size_t g = area.row_count() - 1; g > r + 2; --g)
      if (footer_label(area, g) == kGrandTotalLabel) return FooterBlock{r, g};
    return std::nullopt;
  }
  return std::nullopt;
}

// The export writes the sum of "full" and section lines as a formula (a section has no unit,
// quantity or price), of "quantity_only" lines as the number 0 and of "fixed" lines as their
// plain number, or nothing for a fixed line without a sum.
EstimateLine own_line(const RowCells& row) {
  EstimateLine line = line_named(row);
  if (row.sum_is_formula) {
    line.line_type = line.unit || line.quantity || line.unit_price ? "full" : "section";
  } else if (line.unit || line.quantity) {
    line.line_type = row.sum && !line.unit_price && *row.sum == 0 ? "quantity_only" : "full";
  } else {
    line.line_type = "fixed";
    line.fixed_total = row.sum;
  }
  return line;
}

// Amounts read back are the written ones less the noise of adding and subtracting in binary:
// a millionth of a rouble is far below any amount a user enters.
double without_float_noise(double amount) { return std::round(amount * 1e6) / 1e6; }

void read_own_layout(const SheetArea& area, const FooterBlock& block, ImportedEstimate& out) {
  for (size_t r = 2; r < block.works_row; ++r) {
    const RowCells row = row_cells(area, r);
    if (is_named(row.name)) out.lines.push_back(own_line(row));
  }

  EstimateFooter& footer = out.footer;
  // "Материалы" adds the materials add-on to the material lines' sum.
  const double material_lines = compute_totals(out.lines, EstimateFooter{}).materials;
  const double add_on = without_float_noise(footer_amount(area, block.works_row + 1) - material_lines);
  if (add_on > 0) {
    footer.materials = add_on;
    footer.show_materials = true;
  }

  size_t r = block.works_row + 3;
  if (r < block.grand_row) {
    const auto label = footer_label(area, r);
    if (label == kDeliveryLabel || label == kMaterialDeliveryLabel) {
      footer.delivery = footer_amount(area, r++);
      footer.show_delivery = true;
    }
  }
  // The extra sums and the markup, whose formula the workbook does not carry: each keeps its
  // label and amount as an extra sum, so the grand total stays what the workbook shows.
  Json extras = Json::array();
  for (; r < block.grand_row; ++r) {
    const auto label = footer_label(area, r);
    const auto amount = cell_number(area.at(r, kF));
    if (!label && !amount) continue;
    extras.push_back(
        {{"id", random_uuid()}, {"label", label.value_or("")}, {"amount", amount.value_or(0)}, {"enabled", true}});
  }
  if (!extras.empty()) footer.extras_json = extras.dump();

  for (r = block.grand_row + 1; r < area.row_count(); ++r)
    if (footer_label(area, r) == kAdvanceLabel) {
      footer.advance = footer_amount(area, r);
      footer.show_advance = true;
    }
}

// --- Our own export with its hidden records (workbook_carrier.h): each row that still carries
// its record takes what the visible cells cannot show from it; the visible cells win for what
// they show, so amounts and prices changed in a spreadsheet are taken.

// A visible number that differs from the carried one only by the noise of a text round trip
// gives the carried one, to the last bit.
std::optional<double> visible_or_carried(std::optional<double> visible, std::optional<double> carried) {
  if (visible && carried && std::fabs(*visible - *carried) <= 1e-9 * std::max(1.0, std::fabs(*carried))) return carried;
  return visible;
}

bool same_amount(double visible, double written) { return std::fabs(visible - written) < 0.005; }

std::optional<std::string> visible_or_empty(const std::optional<std::string>& visible,
                                            const std::optional<std::string>& carried) {
  if (!visible && carried && carried->empty()) return carried;  // an empty text leaves the cell empty
  return visible;
}

// The carried line with the values its row shows for its type.
EstimateLine carried_line(EstimateLine line, const RowCells& row) {
  if (line.line_type == "fixed") {
    line.fixed_total = visible_or_carried(row.sum, line.fixed_total);
    return line;
  }
  line.unit = visible_or_empty(row.unit, line.unit);
  line.quantity = visible_or_carried(row.quantity, line.quantity);
  if (line.line_type != "quantity_only") line.unit_price = visible_or_carried(row.price, line.unit_price);
  return line;
}

// The footer's extras list, to change item by item.
class ExtrasList {
 public:
  explicit ExtrasList(const std::optional<std::string>& text) {
    if (text) list_ = Json::parse(*text, nullptr, false);
    valid_ = !text || list_.is_array();
    if (!list_.is_array()) list_ = Json::array();
  }
  Json* item(int index) {
    if (!valid_ || index < 0 || static_cast<size_t>(index) >= list_.size() || !list_[index].is_object()) return nullptr;
    return &list_[index];
  }
  void add(const std::string& label, double amount) {
    if (!valid_) list_ = Json::array();  // text that was no list counted nothing anyway
    valid_ = true;
    list_.push_back({{"id", random_uuid()}, {"label", label}, {"amount", amount}, {"enabled", true}});
    changed_ = true;
  }
  void changed() { changed_ = true; }
  void store(std::optional<std::string>& text) const {
    if (changed_) text = list_.empty() ? std::nullopt : std::optional(list_.dump());
  }

 private:
  Json list_;
  bool valid_ = true;
  bool changed_ = false;
};

// Nothing when no record still stands on its row: then the records tell nothing about this table.
bool read_carried_layout(const SheetArea& area, const CarriedEstimate& carried, ImportedEstimate& out) {
  // Footer records whose row still shows their label (an extra sum's label may have been edited).
  std::map<size_t, const CarriedFooterRow*> footer_at;
  for (const auto& [r, record] : carried.footer_rows)
    if (!is_named(cell_text(area.at(r, kB))) &&
        (record.kind == FooterRowKind::kExtra || cell_text(area.at(r, kE)) == record.label))
      footer_at[r] = &record;
  const size_t block_start = footer_at.empty() ? area.row_count() : footer_at.begin()->first;

  bool any_carried = !footer_at.empty();
  for (size_t r = 2; r < block_start; ++r) {
    const RowCells row = row_cells(area, r);
    auto record = carried.lines.find(r);
    if (record != carried.lines.end() && record->second.name == row.name.value_or("")) {
      out.lines.push_back(carried_line(record->second, row));
      any_carried = true;
    } else if (is_named(row.name)) {
      out.lines.push_back(own_line(row));
    }
  }
  if (!any_carried) return false;

  out.mode = carried.mode;
  out.mode_mask_json = carried.mode_mask_json;
  out.calc_params_json = carried.calc_params_json;
  EstimateFooter& footer = out.footer;
  footer = carried.footer;
  ExtrasList extras(footer.extras_json);
  bool materials = false, delivery = false, markup = false, advance = false, past_grand_total = false;
  std::vector<bool> extra_seen;
  for (size_t r = block_start; r < area.row_count(); ++r) {
    const double shown = footer_amount(area, r);
    auto at = footer_at.find(r);
    if (at == footer_at.end()) {
      // A row the records know nothing of: read as a workbook without them would be.
      if (is_named(cell_text(area.at(r, kB)))) continue;
      const auto label = footer_label(area, r);
      const auto amount = cell_number(area.at(r, kF));
      if (past_grand_total) {
        if (label == kAdvanceLabel) {
          footer.advance = shown;
          footer.show_advance = advance = true;
        }
      } else if ((label == kDeliveryLabel || label == kMaterialDeliveryLabel) && !delivery) {
        footer.delivery = shown;
        footer.show_delivery = delivery = true;
      } else if (label || amount) {
        extras.add(label.value_or(""), amount.value_or(0));
      }
      continue;
    }
    const CarriedFooterRow& record = *at->second;
    const bool unchanged = same_amount(shown, record.amount);
    switch (record.kind) {
      case FooterRowKind::kMaterials:
        materials = true;
        if (!unchanged) {
          // "Материалы" adds the add-on to the material lines, whose categories are known here.
          const double add_on = without_float_noise(shown - compute_totals(out.lines, EstimateFooter{}).materials);
          footer.show_materials = add_on > 0;
          if (add_on > 0) footer.materials = add_on;
        }
        break;
      case FooterRowKind::kDelivery:
        delivery = footer.show_delivery = true;
        if (!unchanged) footer.delivery = shown;
        break;
      case FooterRowKind::kExtra:
        if (Json* item = extras.item(record.extra_index)) {
          if (extra_seen.size() <= static_cast<size_t>(record.extra_index)) extra_seen.resize(record.extra_index + 1);
          extra_seen[record.extra_index] = true;
          if (const auto label = footer_label(area, r).value_or(""); label != record.label) {
            (*item)["label"] = label;
            extras.changed();
          }
          if (!unchanged) {
            (*item)["amount"] = shown;
            extras.changed();
          }
        } else {
          extras.add(footer_label(area, r).value_or(""), shown);
        }
        break;
      case FooterRowKind::kMarkup:
        markup = true;
        // The markup's amount typed over in the spreadsheet no longer follows the formula.
        if (!unchanged) {
          footer.markup_formula.reset();
          extras.add(kMarkupLabel, shown);
        }
        break;
      case FooterRowKind::kAdvance:
        advance = footer.show_advance = true;
        if (!unchanged) footer.advance = shown;
        break;
      case FooterRowKind::kGrandTotal: past_grand_total = true; break;
      case FooterRowKind::kWorks:
      case FooterRowKind::kEquipment:
      case FooterRowKind::kBalance: break;
    }
  }
  // What the spreadsheet's user deleted no longer counts; the amounts stay for switching back on.
  if (!materials) footer.show_materials = false;
  if (!delivery) footer.show_delivery = false;
  if (!advance) footer.show_advance = false;
  if (!markup && has_markup_formula(footer.markup_formula)) footer.markup_formula.reset();
  for (const auto& printed : printed_extras(carried.footer.extras_json))
    if (static_cast<size_t>(printed.index) >= extra_seen.size() || !extra_seen[printed.index])
      if (Json* item = extras.item(printed.index)) {
        (*item)["enabled"] = false;
        extras.changed();
      }
  extras.store(footer.extras_json);
  return true;
}

}  // namespace

ImportedEstimate estimate_from_sheet(const SheetArea& area, const SheetArea* carrier) {
  ImportedEstimate out;
  out.object_name = kDefaultImportedName;
  if (area.row_count() > 0)
    if (auto title = cell_text(area.at(0, kB))) out.object_name = *title;

  std::optional<CarriedEstimate> carried;
  if (carrier) carried = read_carrier(*carrier, area);
  if (!carried || !read_carried_layout(area, *carried, out)) {
    out.lines.clear();
    if (auto block = find_own_footer_block(area))
      read_own_layout(area, *block, out);
    else
      read_general_layout(area, out);
  }
  for (size_t i = 0; i < out.lines.size(); ++i) out.lines[i].sort_order = static_cast<int32_t>(i);
  return out;
}

}  // namespace calcora
