// Whole-file reads and writes. Errors carry the operating system's own text, which the
// commands pass to the user unchanged.
#pragma once

#include <filesystem>
#include <string>
#include <string_view>

namespace calcora {

// Replaces the file's whole content in one step: the bytes go to a temporary file beside
// it, which is then renamed over the target, so a failed write leaves the old file intact.
// Throws CommandError with the OS error text.
void write_file_atomically(const std::filesystem::path& path, std::string_view bytes);

// Reads the whole file; throws CommandError with the OS error text. Files larger than
// max_bytes are refused with a clear message instead of being loaded.
std::string read_whole_file(const std::filesystem::path& path, size_t max_bytes = size_t(1) << 30);

// The OS error text for errno value `err`, e.g. "No such file or directory (os error 2)".
std::string os_error_text(int err);

}  // namespace calcora
