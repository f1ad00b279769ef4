// File names travel through the program as UTF-8 text (commands, the database, messages); the
// file system takes them in its own form (UTF-16 on Windows). These two conversions are the
// only crossing: a path built from a plain std::string would take the Windows code page instead
// and lose every letter outside it.
#pragma once

#include <filesystem>
#include <string>
#include <string_view>

namespace calcora {

inline std::filesystem::path utf8_path(std::string_view utf8) {
  return std::filesystem::path(std::u8string(utf8.begin(), utf8.end()));
}

inline std::string path_utf8(const std::filesystem::path& path) {
  const std::u8string text = path.u8string();
  return std::string(text.begin(), text.end());
}

}  // namespace calcora
