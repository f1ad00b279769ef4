#include "common/number_text.h"

#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <string_view>

namespace calcora {

double spreadsheet_value(double value) {
  if (!std::isfinite(value) || value == 0) return value;
  // printf's "%.14e" rounds the exact binary value to 15 significant digits correctly; reading
  // that text back gives the double nearest to the rounded decimal.
  char buf[64];
  std::snprintf(buf, sizeof buf, "%.14e", value);
  double rounded = 0;
  std::from_chars(buf, buf + std::char_traits<char>::length(buf), rounded);
  return rounded;
}

std::string shortest_decimal(double value) {
  if (value == 0) return "0";
  // The shortest round-trip digits in scientific form, "d.ddde±x", laid out without exponent.
  char buf[64];
  auto [end, ec] = std::to_chars(buf, buf + sizeof buf, value, std::chars_format::scientific);
  std::string_view sci(buf, static_cast<size_t>(end - buf));
  std::string out;
  if (sci.front() == '-') {
    out.push_back('-');
    sci.remove_prefix(1);
  }
  size_t e = sci.find('e');
  std::string digits;
  for (char c : sci.substr(0, e))
    if (c != '.') digits.push_back(c);
  int exponent = std::atoi(std::string(sci.substr(e + 1)).c_str());
  // The value is 0.digits × 10^(exponent + 1).
  int point = exponent + 1;
  if (point <= 0) {
    out += "0.";
    out.append(static_cast<size_t>(-point), '0');
    out += digits;
  } else if (static_cast<size_t>(point) >= digits.size()) {
    out += digits;
    out.append(static_cast<size_t>(point) - digits.size(), '0');
  } else {
    out += digits.substr(0, static_cast<size_t>(point));
    out += '.';
    out += digits.substr(static_cast<size_t>(point));
  }
  return out;
}

std::string number_text(double value) {
  if (!std::isfinite(value)) return {};
  return shortest_decimal(spreadsheet_value(value));
}

std::string number_text(const std::optional<double>& value) { return value ? number_text(*value) : std::string(); }

}  // namespace calcora
