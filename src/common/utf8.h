// Checking UTF-8 text before it is taken in or written out.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>

namespace calcora {

// RFC 3629: well-formed UTF-8, without overlong forms, surrogates or code points above U+10FFFF.
inline bool is_valid_utf8(std::string_view s) {
  size_t i = 0;
  while (i < s.size()) {
    const auto c = static_cast<unsigned char>(s[i]);
    size_t len;
    uint32_t cp;
    if (c < 0x80) {
      ++i;
      continue;
    } else if ((c >> 5) == 0x6) {
      len = 2, cp = c & 0x1f;
    } else if ((c >> 4) == 0xe) {
      len = 3, cp = c & 0x0f;
    } else if ((c >> 3) == 0x1e) {
      len = 4, cp = c & 0x07;
    } else {
      return false;
    }
    if (i + len > s.size()) return false;
    for (size_t k = 1; k < len; ++k) {
      const auto cc = static_cast<unsigned char>(s[i + k]);
      if ((cc >> 6) != 0x2) return false;
      cp = (cp << 6) | (cc & 0x3f);
    }
    if ((len == 2 && cp < 0x80) || (len == 3 && cp < 0x800) || (len == 4 && cp < 0x10000) || cp > 0x10ffff ||
        (cp >= 0xd800 && cp <= 0xdfff))
      return false;
    i += len;
  }
  return true;
}

}  // namespace calcora
