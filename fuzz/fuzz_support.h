// Shared by the fuzz targets: expected refusals are fine, anything else is a finding.
#pragma once

#include <unistd.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <string>
#include <string_view>

#include "common/errors.h"

namespace calcora::fuzz {

inline std::string_view as_text(const uint8_t* data, size_t size) {
  return {reinterpret_cast<const char*>(data), size};
}

// A scratch file for readers that take a path; one per process, rewritten per input.
inline std::filesystem::path scratch_file(const std::string& name, std::string_view bytes) {
  static const std::filesystem::path dir = [] {
    auto d = std::filesystem::temp_directory_path() / ("calcora-fuzz-" + std::to_string(getpid()));
    std::filesystem::create_directories(d);
    return d;
  }();
  const auto path = dir / name;
  std::ofstream(path, std::ios::binary | std::ios::trunc).write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  return path;
}

// Runs a reader; its own refusals (CommandError) are the expected outcome of bad input.
template <typename F>
void expect_clean(F&& read) {
  try {
    read();
  } catch (const CommandError&) {
  }
}

}  // namespace calcora::fuzz
