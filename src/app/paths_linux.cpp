#include <cstdlib>
#include <system_error>

#include "app/paths.h"
#include "app/platform_paths.h"
#include "common/product.h"

namespace calcora {

const char* const kNoAppDataDirReason = "не найдена папка данных (не заданы XDG_DATA_HOME и HOME)";

std::optional<std::filesystem::path> environment_path(const char* name) {
  const char* v = std::getenv(name);
  if (!v || !*v) return std::nullopt;
  return std::filesystem::path(v);
}

std::filesystem::path executable_dir() {
  std::error_code ec;
  auto exe = std::filesystem::read_symlink("/proc/self/exe", ec);
  return ec ? std::filesystem::path() : exe.parent_path();
}

std::optional<std::filesystem::path> app_data_dir() {
  if (auto xdg = environment_path("XDG_DATA_HOME")) return *xdg / kAppId;
  if (auto home = environment_path("HOME")) return *home / ".local" / "share" / kAppId;
  return std::nullopt;
}

std::optional<std::filesystem::path> documents_dir() {
  auto home = environment_path("HOME");
  if (!home) return std::nullopt;
  std::error_code ec;
  auto documents = *home / "Documents";
  if (std::filesystem::is_directory(documents, ec)) return documents;
  return home;
}

}  // namespace calcora
