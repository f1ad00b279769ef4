// Lower-casing names: the quick path for plain Latin and Cyrillic text gives what ICU gives.
#include "store/unicode_lower.h"

#include <gtest/gtest.h>
#include <unicode/ucasemap.h>
#include <unicode/utf8.h>

#include <string>

namespace calcora {
namespace {

std::string icu_lower(const std::string& text) {
  UErrorCode status = U_ZERO_ERROR;
  UCaseMap* map = ucasemap_open("", U_FOLD_CASE_DEFAULT, &status);
  std::string out(text.size() * 3 + 16, '\0');
  const int32_t n = ucasemap_utf8ToLower(map, out.data(), static_cast<int32_t>(out.size()), text.data(),
                                         static_cast<int32_t>(text.size()), &status);
  ucasemap_close(map);
  if (U_FAILURE(status)) return text;
  out.resize(static_cast<size_t>(n));
  return out;
}

std::string utf8(UChar32 c) {
  char bytes[U8_MAX_LENGTH];
  int32_t n = 0;
  U8_APPEND_UNSAFE(bytes, n, c);
  return std::string(bytes, static_cast<size_t>(n));
}

TEST(UnicodeLower, EveryCodePointLowersAsIcuLowersIt) {
  int mismatches = 0;
  for (UChar32 c = 0; c < 0x110000; ++c) {
    if (c >= 0xD800 && c < 0xE000) continue;
    // Each code point alone and between plain letters, so the quick path meets it mid-text too.
    for (const std::string& text : {utf8(c), "Aж" + utf8(c) + "Ж1"})
      if (unicode_lower(text) != icu_lower(text) && ++mismatches < 10) ADD_FAILURE() << "U+" << std::hex << c;
  }
  EXPECT_EQ(mismatches, 0);
}

TEST(UnicodeLower, WholeNamesAndBrokenText) {
  const std::string cases[] = {
      "Кабель ВВГнг-LS 3×1,5 № 2 — «ЁМКОСТЬ» ½ ¼",
      "ЀЁЂЃЄЅІЇЈЉЊЋЌЍЎЏ АБВГДЕЖЗИЙКЛМНОП РСТУФХЦЧШЩЪЫЬЭЮЯ",
      "ОΣ ΟΔΟΣ",              // Greek: the final sigma depends on its neighbours
      "İSTANBUL и Ѣ Ґ",        // letters past the quick path in an otherwise plain name
      "Труба\xD0",             // cut in the middle of a letter
      "Труба\xD0\x41 Б",       // a lead byte without its continuation
      "\xC0\x80 Ж",            // an overlong form
      "\xE2\x80 Ж",            // a sign cut short
      "",
  };
  for (const auto& text : cases) EXPECT_EQ(unicode_lower(text), icu_lower(text)) << text;
}

}  // namespace
}  // namespace calcora
