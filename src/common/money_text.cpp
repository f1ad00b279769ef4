#include "common/money_text.h"

#include <charconv>
#include <cmath>

namespace calcora {

namespace {

std::string shortest_fixed(double value) {
  char buffer[400];
  auto result = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed);
  return std::string(buffer, result.ptr);
}

// Rounds a non-negative decimal text half up to two decimals, on its digits: the shortest
// text is what the user typed, so 1.005 rounds to 1.01 as it reads, not as it is stored.
std::string rounded_to_cents(const std::string& text) {
  auto point = text.find('.');
  std::string whole = point == std::string::npos ? text : text.substr(0, point);
  std::string fraction = point == std::string::npos ? "" : text.substr(point + 1);
  bool round_up = fraction.size() > 2 && fraction[2] >= '5';
  fraction.resize(2, '0');
  std::string digits = whole + fraction;
  if (round_up) {
    int i = static_cast<int>(digits.size()) - 1;
    while (i >= 0 && digits[i] == '9') digits[i--] = '0';
    if (i < 0) digits.insert(digits.begin(), '1');
    else ++digits[i];
  }
  return digits.substr(0, digits.size() - 2) + "." + digits.substr(digits.size() - 2);
}

std::string grouped(const std::string& whole) {
  std::string out;
  for (size_t i = 0; i < whole.size(); ++i) {
    if (i > 0 && (whole.size() - i) % 3 == 0) out += ' ';
    out += whole[i];
  }
  return out;
}

}  // namespace

std::string money_text(double value) {
  if (!std::isfinite(value)) return "0";
  std::string fixed = rounded_to_cents(shortest_fixed(std::fabs(value)));
  auto point = fixed.find('.');
  std::string whole = fixed.substr(0, point);
  std::string fraction = fixed.substr(point + 1);
  while (!fraction.empty() && fraction.back() == '0') fraction.pop_back();
  bool negative = value < 0 && (whole != "0" || !fraction.empty());
  return (negative ? "-" : "") + grouped(whole) + (fraction.empty() ? "" : "," + fraction);
}

std::string plain_number_text(double value) {
  if (std::isnan(value)) return "NaN";
  if (std::isinf(value)) return value < 0 ? "-Infinity" : "Infinity";
  if (value == 0) return "0";
  double magnitude = std::fabs(value);
  if (magnitude >= 1e-6 && magnitude < 1e21) return shortest_fixed(value);
  char buffer[64];
  auto result = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::scientific);
  std::string text(buffer, result.ptr);
  // "1.5e-07" → "1.5e-7": the exponent without leading zeros.
  auto e = text.find('e');
  size_t digits = e + 2;
  while (digits + 1 < text.size() && text[digits] == '0') text.erase(digits, 1);
  return text;
}

}  // namespace calcora
