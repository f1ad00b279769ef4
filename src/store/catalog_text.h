// White-space handling for names typed by users: trimming and splitting at any Unicode
// white space (a no-break space pasted from a price list counts as a blank too).
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace calcora {

// The text without leading and trailing white space.
std::string_view trim_space(std::string_view text);

// The words of the text, split at runs of white space; no empty words.
std::vector<std::string_view> split_space(std::string_view text);

// Russian writers put е for ё freely, so searches treat the two letters as one while the
// stored names keep the spelling they were given.

// The spellings of a typed word with each е/ё/Е/Ё read as both "е" and "ё" (other letters as
// typed), the typed spelling first; a word without those letters is its only spelling. Past
// kMaxFoldedYeLetters such letters the word is cut before the next one: the spellings then
// stand for a shorter prefix, which still finds every name the whole word would.
inline constexpr int kMaxFoldedYeLetters = 5;
std::vector<std::string> ye_spellings(std::string_view word);

// Lower-cased text (as unicode_lower gives it) with every "ё" made "е".
std::string fold_yo(std::string_view lowered);

}  // namespace calcora
