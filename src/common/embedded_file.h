// A file compiled into the program: the page, the standard catalog, the fonts.
#pragma once

#include <cstddef>
#include <span>
#include <string_view>

namespace calcora {

struct EmbeddedFile {
  std::string_view name;
  std::string_view bytes;
};

// Finds a file by name in a table produced by the embed tool; null when absent.
inline const EmbeddedFile* find_embedded(std::span<const EmbeddedFile> files, std::string_view name) {
  for (const auto& f : files)
    if (f.name == name) return &f;
  return nullptr;
}

}  // namespace calcora
