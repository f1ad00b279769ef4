// Full Unicode lower-casing (ICU root locale), used wherever names are compared
// ignoring letter case, in C++ and as SQLite's `lower` on every connection.
#pragma once

#include <sqlite3.h>

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace calcora {

std::string unicode_lower(std::string_view utf8);

// Whether the full-text index (SQLite's unicode61 words) reads every name whose lower-cased form
// is `lowered` as the same words, so the index may narrow a search for such names. True for
// text of the scripts where the index folds letter case as ICU does (Latin, Greek, Cyrillic,
// common signs) that holds at least one letter or digit; false for other text, malformed UTF-8
// included, which must then be compared row by row.
bool index_reads_like_lowercase(std::string_view lowered);

// The runs of the text between white space, punctuation, symbols and control characters (all of
// which the index reads as word breaks) that hold a letter or digit. The index reads each run as
// one or more whole words of the text, in a row.
std::vector<std::string_view> index_word_runs(std::string_view text);

// For each code point of the text, in order, every code point whose lower case is the same as
// its own (itself first), in UTF-8. Only for text where names equal to it ignoring letter case
// can be matched code point by code point: ASCII, basic Cyrillic and signs without letter case,
// where nothing lowers to more than one code point or by its neighbours. Nothing for any other
// text, malformed included.
std::optional<std::vector<std::vector<std::string>>> case_spellings_per_code_point(std::string_view text);

// Replaces SQLite's ASCII-only lower() on this connection.
void register_unicode_lower(sqlite3* db);

}  // namespace calcora
