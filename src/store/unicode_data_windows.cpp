#include <vector>

#include "store/unicode_data.h"
#include "store/unicode_table_lookup.h"

namespace calcora::unicode {

int32_t next_code_point(std::string_view s, size_t& i) {
  // The same steps as ICU's U8_NEXT: a malformed sequence yields -1 and is stepped over as far
  // as it began well, so both platforms split broken text alike.
  const size_t n = s.size();
  auto byte = [&](size_t k) { return static_cast<uint8_t>(s[k]); };
  int32_t c = byte(i++);
  if (c < 0x80) return c;
  if (i == n) return -1;
  if (c >= 0xE0) {
    if (c < 0xF0) {
      c &= 0xF;
      const uint8_t t = byte(i);
      if (t < (c == 0 ? 0xA0 : 0x80) || t > (c == 0xD ? 0x9F : 0xBF)) return -1;
      c = (c << 6) | (t & 0x3F);
      if (++i == n) return -1;
    } else {
      c -= 0xF0;
      if (c > 4) return -1;
      uint8_t t = byte(i);
      if (t < (c == 0 ? 0x90 : 0x80) || t > (c == 4 ? 0x8F : 0xBF)) return -1;
      c = (c << 6) | (t & 0x3F);
      if (++i == n) return -1;
      t = static_cast<uint8_t>(byte(i) - 0x80);
      if (t > 0x3F) return -1;
      c = (c << 6) | t;
      if (++i == n) return -1;
    }
  } else {
    if (c < 0xC2) return -1;
    c &= 0x1F;
  }
  const uint8_t t = static_cast<uint8_t>(byte(i) - 0x80);
  if (t > 0x3F) return -1;
  ++i;
  return (c << 6) | t;
}

std::string utf8_of(int32_t c) {
  std::string out;
  if (c < 0x80) {
    out += static_cast<char>(c);
  } else if (c < 0x800) {
    out += static_cast<char>(0xC0 | (c >> 6));
    out += static_cast<char>(0x80 | (c & 0x3F));
  } else if (c < 0x10000) {
    out += static_cast<char>(0xE0 | (c >> 12));
    out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (c & 0x3F));
  } else {
    out += static_cast<char>(0xF0 | (c >> 18));
    out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
    out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (c & 0x3F));
  }
  return out;
}

int general_category(int32_t c) { return table::props_of(c) & 31; }
bool is_cased(int32_t c) { return table::props_of(c) & 32; }
bool is_case_ignorable(int32_t c) { return table::props_of(c) & 64; }

int32_t simple_lower(int32_t c) {
  const auto* entry = table::simple_case_of(c);
  return entry ? entry->lower : c;
}

int32_t simple_upper(int32_t c) {
  const auto* entry = table::simple_case_of(c);
  return entry ? entry->upper : c;
}

namespace {

constexpr int32_t kCapitalSigma = 0x3A3, kFinalSigma = 0x3C2;

// Whether, from `from` on in direction `step`, skipping case-ignorable code points, a cased one
// comes before anything else (ICU's context rule; a malformed sequence ends the look).
bool cased_letter_beside(const std::vector<int32_t>& points, size_t from, int step) {
  for (size_t k = from; k < points.size(); k += static_cast<size_t>(step)) {
    const int32_t c = points[k];
    if (c < 0) return false;
    if (is_case_ignorable(c)) continue;
    return is_cased(c);
  }
  return false;
}

}  // namespace

std::string full_lower(std::string_view text) {
  std::vector<int32_t> points;
  std::vector<size_t> starts;
  for (size_t i = 0; i < text.size();) {
    starts.push_back(i);
    points.push_back(next_code_point(text, i));
  }
  starts.push_back(text.size());
  std::string out;
  out.reserve(text.size());
  for (size_t k = 0; k < points.size(); ++k) {
    const int32_t c = points[k];
    if (c < 0) {
      out.append(text.substr(starts[k], starts[k + 1] - starts[k]));
    } else if (c == kCapitalSigma) {
      const bool final = k > 0 && cased_letter_beside(points, k - 1, -1) && !cased_letter_beside(points, k + 1, 1);
      out += utf8_of(final ? kFinalSigma : simple_lower(c));
    } else if (const char* full = table::full_lower_of(c)) {
      out += full;
    } else {
      out += utf8_of(simple_lower(c));
    }
  }
  return out;
}

}  // namespace calcora::unicode
