// The tables the Windows build lowers names with agree with ICU for every code point.
#include <gtest/gtest.h>
#include <unicode/uchar.h>

#include "store/unicode_table_lookup.h"

namespace calcora {
namespace {

TEST(UnicodeTable, EveryCodePointAgreesWithIcu) {
  int mismatches = 0;
  for (int32_t c = 0; c < 0x110000; ++c) {
    const uint8_t props = unicode::table::props_of(c);
    const auto* pair = unicode::table::simple_case_of(c);
    const bool same = (props & 31) == u_charType(c) && bool(props & 32) == u_hasBinaryProperty(c, UCHAR_CASED) &&
                      bool(props & 64) == u_hasBinaryProperty(c, UCHAR_CASE_IGNORABLE) &&
                      (pair ? pair->lower : c) == u_tolower(c) && (pair ? pair->upper : c) == u_toupper(c);
    if (!same && ++mismatches < 10) ADD_FAILURE() << "U+" << std::hex << c;
  }
  EXPECT_EQ(mismatches, 0);
}

}  // namespace
}  // namespace calcora
