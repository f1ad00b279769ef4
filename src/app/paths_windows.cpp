#include <windows.h>
#include <knownfolders.h>
#include <shlobj.h>

#include <vector>

#include "app/paths.h"
#include "app/platform_paths.h"
#include "common/product.h"

namespace calcora {

const char* const kNoAppDataDirReason = "не найдена папка данных (система не назвала папку AppData)";

std::optional<std::filesystem::path> environment_path(const char* name) {
  // The wide form: a user folder such as C:\Users\Пётр is not always expressible in the code page.
  const std::wstring wide_name(name, name + std::char_traits<char>::length(name));
  const DWORD size = GetEnvironmentVariableW(wide_name.c_str(), nullptr, 0);
  if (size <= 1) return std::nullopt;
  std::wstring value(size, L'\0');
  const DWORD length = GetEnvironmentVariableW(wide_name.c_str(), value.data(), size);
  if (length == 0 || length >= size) return std::nullopt;
  value.resize(length);
  return std::filesystem::path(value);
}

std::filesystem::path executable_dir() {
  std::vector<wchar_t> buffer(MAX_PATH);
  for (;;) {
    const DWORD n = GetModuleFileNameW(nullptr, buffer.data(), static_cast<DWORD>(buffer.size()));
    if (n == 0) return {};
    if (n < buffer.size()) return std::filesystem::path(std::wstring(buffer.data(), n)).parent_path();
    buffer.resize(buffer.size() * 2);
  }
}

namespace {

std::optional<std::filesystem::path> known_folder(REFKNOWNFOLDERID id) {
  PWSTR folder = nullptr;
  if (FAILED(SHGetKnownFolderPath(id, KF_FLAG_DEFAULT, nullptr, &folder))) {
    CoTaskMemFree(folder);
    return std::nullopt;
  }
  std::filesystem::path path(folder);
  CoTaskMemFree(folder);
  return path;
}

}  // namespace

std::optional<std::filesystem::path> app_data_dir() {
  auto base = known_folder(FOLDERID_RoamingAppData);
  if (!base) return std::nullopt;
  return *base / kAppId;
}

std::optional<std::filesystem::path> documents_dir() {
  if (auto documents = known_folder(FOLDERID_Documents)) return documents;
  return environment_path("USERPROFILE");
}

}  // namespace calcora
