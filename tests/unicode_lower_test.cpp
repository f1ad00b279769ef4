// Lower-casing and word splitting of names give the same results on every platform: Linux
// asks ICU, Windows the tables generated from it.
#include "store/unicode_lower.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace calcora {
namespace {

TEST(UnicodeLower, TableOfNames) {
  const struct {
    const char* text;
    const char* lowered;
  } cases[] = {
      {"Кабель ВВГнг-LS 3×1,5 № 2 — «ЁМКОСТЬ» ½", "кабель ввгнг-ls 3×1,5 № 2 — «ёмкость» ½"},
      {"ЀЁЂЃЄЅІЇЈЉЊЋЌЍЎЏ АБВГДЕЖЗИЙКЛМНОП РСТУФХЦЧШЩЪЫЬЭЮЯ",
       "ѐёђѓєѕіїјљњћќѝўџ абвгдежзийклмноп рстуфхцчшщъыьэюя"},
      {"İSTANBUL и Ѣ Ґ", "i\xCC\x87stanbul и ѣ ґ"},  // İ lowers to two code points
      {"ΟΔΟΣ ΣΑ Σ ΑΣ. ΑΣ'Α", "οδος σα σ ας. ασ'α"},   // the final sigma depends on its neighbours
      {"ОΣ", "оς"},                                    // a Cyrillic letter counts as cased before it
      {"ǅ ẞ K Ω", "ǆ ß k ω"},                          // title case, capital sharp s, Kelvin and ohm signs
      {"Труба\xD0", "труба\xD0"},                      // cut in the middle of a letter: kept as it is
      {"Труба\xD0\x41 Б", "труба\xD0\x61 б"},          // a lead byte without its continuation
      {"\xC0\x80 Ж", "\xC0\x80 ж"},                    // an overlong form
      {"\xE2\x80 Ж", "\xE2\x80 ж"},                    // a sign cut short
      {"", ""},
  };
  for (const auto& c : cases) EXPECT_EQ(unicode_lower(c.text), c.lowered) << c.text;
}

TEST(UnicodeLower, WordRunsAndIndexText) {
  const std::vector<std::string_view> expected{"Труба", "ПНД", "32мм", "10", "шт"};
  EXPECT_EQ(index_word_runs("Труба-ПНД 32мм, (10 шт.) — №"), expected);
  EXPECT_TRUE(index_reads_like_lowercase("труба пнд 32"));
  EXPECT_FALSE(index_reads_like_lowercase("— № …"));   // no letter or digit
  EXPECT_FALSE(index_reads_like_lowercase("ⴀ"));      // Georgian: the index does not fold it
  const auto spellings = case_spellings_per_code_point("Кk");
  ASSERT_TRUE(spellings);
  EXPECT_EQ((*spellings)[0], (std::vector<std::string>{"К", "к"}));
  EXPECT_EQ((*spellings)[1], (std::vector<std::string>{"k", "K", "\xE2\x84\xAA"}));
  EXPECT_FALSE(case_spellings_per_code_point("ΣΑ"));  // Greek is matched by the whole name
}

}  // namespace
}  // namespace calcora
