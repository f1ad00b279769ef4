// Numbers as the exchange files write and read them: the shortest decimal text that reads
// back as the same value, with a point and without exponent or grouping; and decimal texts
// from users' files, where a comma may stand for the point.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace calcora {

// 1500, 1234.5, 0.1, -20, 0.30000000000000004, 100000000000000000000. The value must be finite.
std::string shortest_decimal(double value);

// The number that the whole text spells once every comma is replaced by a point: "12,5" gives
// 12.5; "1 500,00", "12 руб." and "" give nothing. Non-finite spellings ("inf", "NaN") give
// nothing: they are no amount a user means.
std::optional<double> parse_decimal_comma(std::string_view text);

}  // namespace calcora
