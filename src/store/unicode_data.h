// The Unicode character data that name comparison needs, by the rules of ICU's root locale:
// ICU itself on Linux (unicode_data_linux.cpp); on Windows, which has no ICU of its own, tables
// generated from ICU when the program is built (unicode_data_windows.cpp, unicode_table.h), so
// that both platforms lower-case and split names alike.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace calcora::unicode {

// The next code point of the UTF-8 text at `i`, advancing `i` past it; a negative value for a
// malformed sequence, past which `i` then steps by its longest well-formed beginning.
int32_t next_code_point(std::string_view text, size_t& i);
// The code point's UTF-8 bytes.
std::string utf8_of(int32_t c);

// General category, numbered as ICU's UCharCategory (0 unassigned, 1 Lu, 2 Ll, ... 29 Pf).
int general_category(int32_t c);
// The one-to-one lower and upper case of the code point (itself when it has none).
int32_t simple_lower(int32_t c);
int32_t simple_upper(int32_t c);
// The Cased and Case_Ignorable properties.
bool is_cased(int32_t c);
bool is_case_ignorable(int32_t c);

// Full lower-casing of UTF-8 text (İ becomes two code points, a final Σ becomes ς); malformed
// sequences are kept as they are.
std::string full_lower(std::string_view text);

// General-category groups, as bits of 1 << general_category(c).
inline constexpr uint32_t kLetterMask = 0x3E;          // Lu Ll Lt Lm Lo
inline constexpr uint32_t kDecimalDigitMask = 1u << 9;  // Nd
inline constexpr uint32_t kSeparatorMask = 0x7000;      // Zs Zl Zp
inline constexpr uint32_t kControlMask = 1u << 15;      // Cc
inline constexpr uint32_t kPunctuationMask = (1u << 19) | (1u << 20) | (1u << 21) | (1u << 22) | (1u << 23) |
                                             (1u << 28) | (1u << 29);  // Pd Ps Pe Pc Po Pi Pf
inline constexpr uint32_t kSymbolMask = (1u << 24) | (1u << 25) | (1u << 26) | (1u << 27);  // Sm Sc Sk So

inline uint32_t category_mask(int32_t c) { return 1u << general_category(c); }
// A letter or a decimal digit.
inline bool is_alnum(int32_t c) { return (category_mask(c) & (kLetterMask | kDecimalDigitMask)) != 0; }

}  // namespace calcora::unicode
