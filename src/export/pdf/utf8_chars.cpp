#include "export/pdf/utf8_chars.h"

#include <cstdio>

namespace calcora::pdf {

namespace {

constexpr char32_t kReplacement = 0xFFFD;

bool is_continuation(unsigned char c) { return (c & 0xC0) == 0x80; }

}  // namespace

char32_t next_char(std::string_view text, size_t& pos) {
  const auto lead = static_cast<unsigned char>(text[pos]);
  size_t length = 0;
  char32_t value = 0;
  char32_t min_value = 0;
  if (lead < 0x80) {
    ++pos;
    return lead;
  } else if ((lead & 0xE0) == 0xC0) {
    length = 2, value = lead & 0x1F, min_value = 0x80;
  } else if ((lead & 0xF0) == 0xE0) {
    length = 3, value = lead & 0x0F, min_value = 0x800;
  } else if ((lead & 0xF8) == 0xF0) {
    length = 4, value = lead & 0x07, min_value = 0x10000;
  } else {
    ++pos;
    return kReplacement;
  }
  if (pos + length > text.size()) {
    ++pos;
    return kReplacement;
  }
  for (size_t i = 1; i < length; ++i) {
    const auto c = static_cast<unsigned char>(text[pos + i]);
    if (!is_continuation(c)) {
      ++pos;
      return kReplacement;
    }
    value = (value << 6) | (c & 0x3F);
  }
  // Overlong forms, surrogates and values past U+10FFFF are not scalar values.
  if (value < min_value || value > 0x10FFFF || (value >= 0xD800 && value <= 0xDFFF)) {
    ++pos;
    return kReplacement;
  }
  pos += length;
  return value;
}

std::vector<char32_t> decode_utf8(std::string_view text) {
  std::vector<char32_t> chars;
  chars.reserve(text.size());
  for (size_t pos = 0; pos < text.size();) chars.push_back(next_char(text, pos));
  return chars;
}

std::string utf16be_hex(char32_t c) {
  auto unit = [](char32_t u) {
    char buf[8];
    std::snprintf(buf, sizeof buf, "%04X", static_cast<unsigned>(u));
    return std::string(buf);
  };
  if (c <= 0xFFFF) return unit(c);
  const char32_t v = c - 0x10000;
  return unit(0xD800 + (v >> 10)) + unit(0xDC00 + (v & 0x3FF));
}

Prefix utf8_prefix(std::string_view text, size_t count) {
  size_t pos = 0;
  for (size_t n = 0; n < count && pos < text.size(); ++n) next_char(text, pos);
  return {std::string(text.substr(0, pos)), pos < text.size()};
}

}  // namespace calcora::pdf
