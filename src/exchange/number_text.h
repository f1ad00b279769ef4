// Decimal texts from users' files, where a comma may stand for the point. Numbers are written
// by the shared helper of common/number_text.h.
#pragma once

#include <optional>
#include <string_view>

#include "common/number_text.h"

namespace calcora {

// The number that the whole text spells once every comma is replaced by a point: "12,5" gives
// 12.5; "1 500,00", "12 руб." and "" give nothing. Non-finite spellings ("inf", "NaN") give
// nothing: they are no amount a user means.
std::optional<double> parse_decimal_comma(std::string_view text);

}  // namespace calcora
