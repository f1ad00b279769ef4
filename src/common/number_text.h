// Numbers as every file the program writes spells them (CSV, PDF, the workbook's values): the
// value as spreadsheets show it, rounded to 15 significant digits, in the shortest decimal text
// that reads back as that, with a point and without exponent or grouping. The rounding drops the
// binary noise of arithmetic (0.1 + 0.2 is written 0.3, 45 × 1.1 is 49.5) and nothing a user
// typed: no amount or quantity anyone enters has more than 15 significant digits.
#pragma once

#include <optional>
#include <string>

namespace calcora {

// The largest magnitude an amount, price or quantity may have: a trillion roubles, metres or
// pieces. Beyond it a figure is a typing or reading mistake, and its totals would not fit a field.
inline constexpr double kNumberLimit = 1e12;

// The value rounded to 15 significant digits; non-finite values and zero come back as they are.
double spreadsheet_value(double value);

// 1500, 1234.5, 0.1, -20, 0.3 (for 0.1 + 0.2), 100000000000000000000. Empty for infinite and NaN.
std::string number_text(double value);
// Empty for an absent value.
std::string number_text(const std::optional<double>& value);

// The exact shortest decimal of the value, without rounding: 0.30000000000000004. The value must
// be finite. For texts that must read back bit for bit.
std::string shortest_decimal(double value);

}  // namespace calcora
