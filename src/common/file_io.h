// Whole-file reads and writes, and the few other file operations the program needs. Errors
// carry the operating system's own text, which the commands pass to the user unchanged.
// One implementation per platform: file_io_linux.cpp, file_io_windows.cpp (UTF-16 names, so
// that folders and files named in Russian work there too).
#pragma once

#include <filesystem>
#include <string>
#include <string_view>

namespace calcora {

// Replaces the file's whole content in one step: the bytes go to a temporary file beside
// it, flushed to disk, which is then renamed over the target, so a failed write leaves the old
// file intact. Throws CommandError with the OS error text.
void write_file_atomically(const std::filesystem::path& path, std::string_view bytes);

// Reads the whole file; throws CommandError with the OS error text. Files larger than
// max_bytes are refused with a clear message instead of being loaded.
std::string read_whole_file(const std::filesystem::path& path, size_t max_bytes = size_t(1) << 30);

// Copies `from` byte for byte over `to` (created or truncated) and flushes it to disk, in
// chunks, so that a file of several gigabytes need not fit in memory. Throws CommandError.
void copy_file_durably(const std::filesystem::path& from, const std::filesystem::path& to);

// Renames `from` over `to` in one step, replacing it, and makes the rename durable.
// Throws CommandError with the OS error text.
void replace_file(const std::filesystem::path& from, const std::filesystem::path& to);

// Appends the bytes to the file, creating it if missing. False when that fails.
bool append_to_file(const std::filesystem::path& path, std::string_view bytes);

// Creates a new empty file with a unique name in the system's temporary folder, as
// "<prefix><random><suffix>", and returns its path. Throws CommandError.
std::filesystem::path create_temp_file(std::string_view prefix, std::string_view suffix);

// The path in the form that C libraries which open files by a narrow name expect (UTF-8 on
// Linux; the Windows code page, or the short form of the path where the code page lacks a
// letter, on Windows). Throws CommandError when there is no such form.
std::string narrow_path_for_c_library(const std::filesystem::path& path);

// The OS error text for errno value `err`, e.g. "No such file or directory (os error 2)".
std::string os_error_text(int err);

}  // namespace calcora
