// Walks UTF-8 text as Unicode scalar values. Bytes that do not form a valid sequence each
// count as one U+FFFD, so text read back from the database never stops an export.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace calcora::pdf {

// Decodes the scalar value starting at text[pos] and advances pos past it.
char32_t next_char(std::string_view text, size_t& pos);

std::vector<char32_t> decode_utf8(std::string_view text);

// The character as UTF-16BE in upper-case hexadecimal, a surrogate pair past U+FFFF: the form
// of ToUnicode destinations and of text strings in hexadecimal (PDF 1.7, 7.9.2.2 and 9.10.3).
std::string utf16be_hex(char32_t c);

// The first `count` characters of `text` as UTF-8 (the whole text when it is shorter),
// and whether anything was left out.
struct Prefix {
  std::string text;
  bool cut = false;
};
Prefix utf8_prefix(std::string_view text, size_t count);

}  // namespace calcora::pdf
