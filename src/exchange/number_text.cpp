#include "exchange/number_text.h"

#include <charconv>
#include <cmath>
#include <cstdlib>

namespace calcora {

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
