#include "exchange/number_text.h"

#include <charconv>
#include <cmath>
#include <string>

namespace calcora {

std::optional<double> parse_decimal_comma(std::string_view text) {
  std::string s(text);
  for (char& c : s)
    if (c == ',') c = '.';
  std::string_view v(s);
  if (!v.empty() && v.front() == '+') v.remove_prefix(1);
  if (v.empty() || v.front() == '+') return std::nullopt;
  double value = 0;
  auto [end, ec] = std::from_chars(v.data(), v.data() + v.size(), value);
  if (ec != std::errc() || end != v.data() + v.size() || !std::isfinite(value)) return std::nullopt;
  return value;
}

}  // namespace calcora
