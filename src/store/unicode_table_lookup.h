// Look-ups in the generated Unicode tables (unicode_table.h, made from ICU at build time).
#pragma once

#include <algorithm>
#include <cstdint>
#include <iterator>

#include "unicode_table.h"

namespace calcora::unicode::table {

inline uint8_t props_of(int32_t c) {
  if (c < 0 || c > 0x10FFFF) return 0;
  const auto* run = std::upper_bound(std::begin(kRuns), std::end(kRuns), c,
                                     [](int32_t v, const Run& r) { return v < r.start; });
  return std::prev(run)->props;
}

inline const SimpleCase* simple_case_of(int32_t c) {
  const auto* it = std::lower_bound(std::begin(kSimpleCases), std::end(kSimpleCases), c,
                                    [](const SimpleCase& s, int32_t v) { return s.c < v; });
  return it != std::end(kSimpleCases) && it->c == c ? it : nullptr;
}

inline const char* full_lower_of(int32_t c) {
  for (const auto& entry : kFullLower)
    if (entry.c == c) return entry.utf8;
  return nullptr;
}

}  // namespace calcora::unicode::table
