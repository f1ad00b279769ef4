// Checking UTF-8 text before it is taken in or written out.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string_view>

namespace calcora {

// RFC 3629: well-formed UTF-8, without overlong forms, surrogates or code points above U+10FFFF.
// Checked on every text read from an exchange file and written to an answer: ASCII goes eight
// bytes at a time, and each sequence is checked by the ranges of its first two bytes.
inline bool is_valid_utf8(std::string_view s) {
  const auto* p = reinterpret_cast<const unsigned char*>(s.data());
  const auto* const end = p + s.size();
  auto continuation = [](unsigned char c) { return (c & 0xC0) == 0x80; };
  while (p != end) {
    while (end - p >= 8) {
      uint64_t eight;
      std::memcpy(&eight, p, 8);
      if (eight & 0x8080808080808080u) break;
      p += 8;
    }
    if (p == end) break;
    const unsigned char c = *p;
    if (c < 0x80) {
      ++p;
    } else if (c < 0xC2) {
      return false;  // a continuation byte, or the lead of an overlong two-byte form
    } else if (c < 0xE0) {
      if (end - p < 2 || !continuation(p[1])) return false;
      p += 2;
    } else if (c < 0xF0) {
      // E0 needs A0..BF next (no overlong form), ED 80..9F (no surrogate).
      const unsigned char low = c == 0xE0 ? 0xA0 : 0x80, high = c == 0xED ? 0x9F : 0xBF;
      if (end - p < 3 || p[1] < low || p[1] > high || !continuation(p[2])) return false;
      p += 3;
    } else if (c < 0xF5) {
      // F0 needs 90..BF next (no overlong form), F4 80..8F (nothing above U+10FFFF).
      const unsigned char low = c == 0xF0 ? 0x90 : 0x80, high = c == 0xF4 ? 0x8F : 0xBF;
      if (end - p < 4 || p[1] < low || p[1] > high || !continuation(p[2]) || !continuation(p[3])) return false;
      p += 4;
    } else {
      return false;
    }
  }
  return true;
}

}  // namespace calcora
