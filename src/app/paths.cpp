#include "app/paths.h"

#include <string>
#include <system_error>

#include "app/platform_paths.h"
#include "common/product.h"

namespace calcora {

std::optional<std::filesystem::path> startup_log_path() {
  auto base = environment_path("LOCALAPPDATA");
  if (!base) base = environment_path("TEMP");
  if (!base) return std::nullopt;
  return *base / kAppId / kStartupLogFileName;
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
