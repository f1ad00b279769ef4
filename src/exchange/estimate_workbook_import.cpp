#include "exchange/estimate_workbook_import.h"

#include "calc/category.h"
#include "exchange/cell_values.h"

namespace calcora {

namespace {

enum Col : size_t { kA = 0, kB, kC, kD, kE, kF };

bool is_blank(const std::string& s) { return s.find_first_not_of(" \t\r\n\v\f") == std::string::npos; }

// The three footer amounts recognised by their exact label in column E.
void read_footer_row(const std::string& label, std::optional<double> amount, EstimateFooter& footer) {
  const double value = amount.value_or(0);
  if (label == "Материалы") {
    footer.materials = value;
    footer.show_materials = true;
  } else if (label == "Доставка материала") {
    footer.delivery = value;
    footer.show_delivery = true;
  } else if (label == "Аванс") {
    footer.advance = value;
    footer.show_advance = true;
  }
}

}  // namespace

ImportedEstimate estimate_from_sheet(const SheetArea& area) {
  ImportedEstimate out;
  out.object_name = kDefaultImportedName;
  if (area.row_count() > 0)
    if (auto title = cell_text(area.at(0, kB))) out.object_name = *title;

  for (size_t r = 2; r < area.row_count(); ++r) {
    const auto name = cell_text(area.at(r, kB));
    const auto sum = cell_number(area.at(r, kF));
    if (!name || is_blank(*name)) {
      if (auto label = cell_text(area.at(r, kE))) read_footer_row(*label, sum, out.footer);
      continue;
    }
    EstimateLine line;
    line.name = *name;
    line.unit = cell_text(area.at(r, kC));
    line.quantity = cell_number(area.at(r, kD));
    line.unit_price = cell_number(area.at(r, kE));
    if (line.unit || line.quantity) {
      line.line_type = sum && !line.unit_price && *sum == 0 ? "quantity_only" : "full";
    } else if (sum) {
      line.line_type = "fixed";
      line.fixed_total = sum;
    } else {
      continue;
    }
    line.category = guess_category(line.name);
    line.sort_order = static_cast<int32_t>(out.lines.size());
    out.lines.push_back(std::move(line));
  }
  return out;
}

}  // namespace calcora
