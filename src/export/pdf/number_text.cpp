#include "export/pdf/number_text.h"

#include <charconv>
#include <cmath>

namespace calcora::pdf {

std::string number_text(double value) {
  if (!std::isfinite(value)) return {};
  // Fixed notation without a precision gives the shortest round-trip digits; the largest
  // double needs 309 digits before the point.
  char buf[400];
  auto [end, ec] = std::to_chars(buf, buf + sizeof buf, value, std::chars_format::fixed);
  if (ec != std::errc()) return {};
  return std::string(buf, end);
}

std::string number_text(const std::optional<double>& value) { return value ? number_text(*value) : std::string(); }

}  // namespace calcora::pdf
