#include "exchange/cell_values.h"

#include <cmath>

#include "exchange/number_text.h"

namespace calcora {

std::optional<std::string> cell_text(const Cell& cell) {
  switch (cell.kind) {
    case CellKind::kText: return cell.text;
    case CellKind::kNumber:
      return std::isfinite(cell.number) ? std::optional(number_text(cell.number)) : std::nullopt;
    default: return std::nullopt;
  }
}

std::optional<double> cell_number(const Cell& cell) {
  switch (cell.kind) {
    case CellKind::kNumber: return cell.number;
    case CellKind::kText: return parse_decimal_comma(cell.text);
    default: return std::nullopt;
  }
}

}  // namespace calcora
