#include "store/unicode_lower.h"

#include "common/errors.h"
#include "store/unicode_data.h"

namespace calcora {

namespace {

void sql_lower(sqlite3_context* ctx, int argc, sqlite3_value** argv) {
  if (argc != 1 || sqlite3_value_type(argv[0]) == SQLITE_NULL) {
    sqlite3_result_null(ctx);
    return;
  }
  auto text = reinterpret_cast<const char*>(sqlite3_value_text(argv[0]));
  int n = sqlite3_value_bytes(argv[0]);
  try {
    std::string lowered = unicode_lower(std::string_view(text, static_cast<size_t>(n)));
    sqlite3_result_text64(ctx, lowered.data(), lowered.size(), SQLITE_TRANSIENT, SQLITE_UTF8);
  } catch (const std::exception& e) {
    sqlite3_result_error(ctx, e.what(), -1);
  }
}

// Lower-case code points of the blocks where the index's case folding agrees with ICU for every
// upper-case letter that lowers into them (a test checks this against every code point).
// Left out: IPA letters and Georgian, whose capitals newer Unicode added and the index does not
// fold, and the Greek yot and Cyrillic letters past U+0527 for the same reason.
bool index_folds_like_icu(int32_t c) {
  return c < 0x250 || (c >= 0x2B0 && c < 0x3F3) || (c > 0x3F3 && c < 0x528) || (c >= 0x1E00 && c < 0x1F00) ||
         (c >= 0x2000 && c < 0x2C00);
}

constexpr int32_t kKelvinSign = 0x212A;  // lowers to the Latin k

// ASCII, basic Cyrillic, and signs without letter case (×, №, dashes, quotes) that are no part of
// another letter's lower case, the way the dot above is of İ's.
bool matched_by_code_point(int32_t c) {
  if (c < 0x80 || (c >= 0x400 && c < 0x460)) return true;
  return unicode::general_category(c) != 0 && !unicode::is_cased(c) && !unicode::is_case_ignorable(c);
}

// Dashes, quotes, ellipsis, per mille and the numero sign (U+2010..U+2027, U+2030..U+205E,
// U+2116): three bytes starting with E2, none with letter case.
bool plain_sign_after_e2(unsigned char second, unsigned char third) {
  if ((third & 0xC0) != 0x80) return false;
  const unsigned cp = 0x2000u | (second & 0x3Fu) << 6 | (third & 0x3Fu);
  return (cp >= 0x2010 && cp <= 0x2027) || (cp >= 0x2030 && cp <= 0x205E) || cp == 0x2116;
}

// Lower-cases text made only of ASCII, the basic Cyrillic letters (U+0400..U+045F) and common
// signs without letter case, byte by byte; false for anything else, which ICU handles. Nearly
// every catalog name and line name is such text, and an import lowers each one: ICU costs
// several times more per name. Every code point taken here maps alone, as ICU maps it (a test
// checks each against ICU), and none depends on its neighbours the way the Greek final sigma does.
bool lower_plain_letters(std::string_view text, std::string& out) {
  out.resize(text.size());
  const auto* in = reinterpret_cast<const unsigned char*>(text.data());
  auto* to = reinterpret_cast<unsigned char*>(out.data());
  const size_t n = text.size();
  for (size_t i = 0; i < n;) {
    const unsigned char b = in[i];
    if (b < 0x80) {
      to[i] = b >= 'A' && b <= 'Z' ? static_cast<unsigned char>(b + 0x20) : b;
      ++i;
      continue;
    }
    if (i + 1 >= n || (in[i + 1] & 0xC0) != 0x80) return false;
    const unsigned char c = in[i + 1];
    if (b == 0xD0) {
      if (c < 0x90) {  // Ѐ..Џ lower to ѐ..џ
        to[i] = 0xD1, to[i + 1] = static_cast<unsigned char>(c + 0x10);
      } else if (c < 0xA0) {  // А..П
        to[i] = 0xD0, to[i + 1] = static_cast<unsigned char>(c + 0x20);
      } else if (c < 0xB0) {  // Р..Я
        to[i] = 0xD1, to[i + 1] = static_cast<unsigned char>(c - 0x20);
      } else {  // а..п
        to[i] = b, to[i + 1] = c;
      }
    } else if ((b == 0xD1 && c < 0xA0) || (b == 0xC2 && c >= 0xA0) || (b == 0xC3 && (c == 0x97 || c == 0xB7))) {
      to[i] = b, to[i + 1] = c;  // р..џ; no-break space to ¿; × and ÷
    } else if (b == 0xE2 && i + 2 < n && plain_sign_after_e2(c, in[i + 2])) {
      to[i] = b, to[i + 1] = c, to[i + 2] = in[i + 2];
      ++i;
    } else {
      return false;
    }
    i += 2;
  }
  return true;
}

}  // namespace

std::optional<std::vector<std::vector<std::string>>> case_spellings_per_code_point(std::string_view text) {
  std::vector<std::vector<std::string>> spellings;
  for (size_t i = 0; i < text.size();) {
    const int32_t c = unicode::next_code_point(text, i);
    if (c < 0 || !matched_by_code_point(c)) return std::nullopt;
    std::vector<std::string> same{unicode::utf8_of(c)};
    for (int32_t other : {unicode::simple_lower(c), unicode::simple_upper(c)})
      if (other != c) same.push_back(unicode::utf8_of(other));
    if (unicode::simple_lower(c) == 'k') same.push_back(unicode::utf8_of(kKelvinSign));
    spellings.push_back(std::move(same));
  }
  return spellings;
}

bool index_reads_like_lowercase(std::string_view lowered) {
  bool has_word = false;
  for (size_t i = 0; i < lowered.size();) {
    const int32_t c = unicode::next_code_point(lowered, i);
    if (c < 0 || !index_folds_like_icu(c)) return false;
    has_word = has_word || unicode::is_alnum(c);
  }
  return has_word;
}

std::vector<std::string_view> index_word_runs(std::string_view text) {
  std::vector<std::string_view> runs;
  constexpr uint32_t kBreaks =
      unicode::kSeparatorMask | unicode::kPunctuationMask | unicode::kSymbolMask | unicode::kControlMask;
  size_t start = 0;
  bool has_word = false;
  for (size_t i = 0, n = text.size(); i <= n;) {
    const size_t at = i;
    int32_t c = -1;
    if (i < n) c = unicode::next_code_point(text, i);
    const bool brk = at == n || (c >= 0 && (unicode::category_mask(c) & kBreaks));
    if (!brk) {
      has_word = has_word || (c >= 0 && unicode::is_alnum(c));
      continue;
    }
    if (has_word) runs.push_back(text.substr(start, at - start));
    has_word = false;
    start = i;
    if (at == n) break;
  }
  return runs;
}

std::string unicode_lower(std::string_view utf8) {
  std::string out;
  if (lower_plain_letters(utf8, out)) return out;
  return unicode::full_lower(utf8);
}

void register_unicode_lower(sqlite3* db) {
  int rc = sqlite3_create_function_v2(db, "lower", 1, SQLITE_UTF8 | SQLITE_DETERMINISTIC | SQLITE_INNOCUOUS, nullptr,
                                      sql_lower, nullptr, nullptr, nullptr);
  if (rc != SQLITE_OK) throw DbError(sqlite3_errmsg(db));
}

}  // namespace calcora
