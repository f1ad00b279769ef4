// Numbers as the printed estimate shows them: the shortest decimal text that reads back
// as the same double, with a point, no grouping, no exponent and no rounding to cents.
#pragma once

#include <optional>
#include <string>

namespace calcora::pdf {

// 1500, 1234.5, -20, 0.30000000000000004, 0.0000001; empty for infinite and NaN.
std::string number_text(double value);
// Empty for an absent value.
std::string number_text(const std::optional<double>& value);

}  // namespace calcora::pdf
