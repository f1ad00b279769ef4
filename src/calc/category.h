// Guesses a line's category (work, material or equipment) from words in its name, for
// names that arrive without one: imported workbooks, catalog lists, the name memory.
#pragma once

#include <string>
#include <string_view>

namespace calcora {

// "equipment" when the lower-cased name contains a machinery word, else "work" when it
// contains a work word, else "material". The name is not trimmed, so a blank name is a
// material.
std::string guess_category(std::string_view name);

}  // namespace calcora
