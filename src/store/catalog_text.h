// White-space handling for names typed by users: trimming and splitting at any Unicode
// white space (a no-break space pasted from a price list counts as a blank too).
#pragma once

#include <string_view>
#include <vector>

namespace calcora {

// The text without leading and trailing white space.
std::string_view trim_space(std::string_view text);

// The words of the text, split at runs of white space; no empty words.
std::vector<std::string_view> split_space(std::string_view text);

}  // namespace calcora
