// The two readings of a workbook cell that the imports use: as text and as a number.
#pragma once

#include <optional>
#include <string>

#include "exchange/xlsx_reader.h"

namespace calcora {

// A text cell gives its text unchanged; a number gives its digits (an integral value without a
// fractional part, e.g. 2024) or its decimal form as a spreadsheet shows it (12.5); any other cell
// gives nothing.
std::optional<std::string> cell_text(const Cell& cell);

// A number cell gives its value; a text cell the number its whole text spells with a comma read
// as the point ("12,5"); any other cell gives nothing.
std::optional<double> cell_number(const Cell& cell);

}  // namespace calcora
