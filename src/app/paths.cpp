#include "app/paths.h"

#include <unistd.h>

#include <cstdlib>
#include <string>
#include <system_error>

#include "common/product.h"

namespace calcora {

namespace {

std::optional<std::string> env(const char* name) {
  const char* v = std::getenv(name);
  if (!v || !*v) return std::nullopt;
  return std::string(v);
}

std::filesystem::path executable_dir() {
  std::error_code ec;
  auto exe = std::filesystem::read_symlink("/proc/self/exe", ec);
  return ec ? std::filesystem::path() : exe.parent_path();
}

}  // namespace

std::optional<std::filesystem::path> app_data_dir() {
  if (auto xdg = env("XDG_DATA_HOME")) return std::filesystem::path(*xdg) / kAppId;
  if (auto home = env("HOME")) return std::filesystem::path(*home) / ".local" / "share" / kAppId;
  return std::nullopt;
}

std::optional<std::filesystem::path> documents_dir() {
  auto home = env("HOME");
  if (!home) return std::nullopt;
  std::error_code ec;
  auto documents = std::filesystem::path(*home) / "Documents";
  if (std::filesystem::is_directory(documents, ec)) return documents;
  return std::filesystem::path(*home);
}

std::optional<std::filesystem::path> startup_log_path() {
  auto base = env("LOCALAPPDATA");
  if (!base) base = env("TEMP");
  if (!base) return std::nullopt;
  return std::filesystem::path(*base) / kAppId / kStartupLogFileName;
}

std::filesystem::path resolve_examples_candidate() {
  namespace fs = std::filesystem;
  std::error_code ec;
  for (const fs::path& candidate : {fs::path(kExamplesDirName), fs::path("..") / kExamplesDirName,
                                    fs::path(CALCORA_SOURCE_DIR) / kExamplesDirName}) {
    if (fs::exists(candidate, ec)) return candidate;
  }
  return kExamplesDirName;
}

std::filesystem::path resolve_examples_dir() {
  namespace fs = std::filesystem;
  std::error_code ec;
  fs::path chosen = resolve_examples_candidate();
  fs::path beside_exe = executable_dir() / kExamplesDirName;
  if (!executable_dir().empty() && fs::exists(beside_exe, ec)) chosen = beside_exe;
  return chosen;
}

}  // namespace calcora
