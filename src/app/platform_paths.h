// What each platform answers about its folders: paths_linux.cpp, paths_windows.cpp.
#pragma once

#include <filesystem>
#include <optional>

namespace calcora {

// The folder named by an environment variable; nothing when it is unset or empty.
std::optional<std::filesystem::path> environment_path(const char* name);

// The folder that holds the running program; empty when it cannot be told.
std::filesystem::path executable_dir();

}  // namespace calcora
