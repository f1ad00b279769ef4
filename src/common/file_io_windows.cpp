#include <windows.h>

#include <cerrno>
#include <cstring>
#include <random>
#include <vector>

#include "common/errors.h"
#include "common/file_io.h"
#include "common/utf8_path.h"

namespace calcora {

std::string os_error_text(int err) { return std::string(std::strerror(err)) + " (os error " + std::to_string(err) + ")"; }

namespace {

// The system's own text for a Windows error code, e.g. "Access denied. (os error 5)".
std::string windows_error_text(DWORD code) {
  wchar_t* text = nullptr;
  const DWORD n = FormatMessageW(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM |
                                     FORMAT_MESSAGE_IGNORE_INSERTS,
                                 nullptr, code, 0, reinterpret_cast<wchar_t*>(&text), 0, nullptr);
  std::wstring message = n ? std::wstring(text, n) : L"error";
  LocalFree(text);
  while (!message.empty() && (message.back() == L'\n' || message.back() == L'\r' || message.back() == L' '))
    message.pop_back();
  return path_utf8(std::filesystem::path(message)) + " (os error " + std::to_string(code) + ")";
}

[[noreturn]] void throw_last_error() { throw CommandError(windows_error_text(GetLastError())); }

// The name Windows calls take: absolute, with backslashes, and past the old 260-character
// limit in the "\\?\" form that lifts it.
std::wstring win32_name(const std::filesystem::path& path) {
  std::error_code ec;
  std::filesystem::path full = std::filesystem::absolute(path, ec);
  if (ec) full = path;
  std::wstring name = full.lexically_normal().make_preferred().native();
  if (name.size() < MAX_PATH - 12 || name.rfind(L"\\\\?\\", 0) == 0) return name;
  if (name.rfind(L"\\\\", 0) == 0) return L"\\\\?\\UNC\\" + name.substr(2);
  return L"\\\\?\\" + name;
}

class Handle {
 public:
  explicit Handle(HANDLE h) : h_(h) {}
  ~Handle() { close(); }
  Handle(const Handle&) = delete;
  Handle& operator=(const Handle&) = delete;
  bool valid() const { return h_ != INVALID_HANDLE_VALUE; }
  HANDLE get() const { return h_; }
  bool close() {
    if (!valid()) return true;
    const bool ok = CloseHandle(h_);
    h_ = INVALID_HANDLE_VALUE;
    return ok;
  }

 private:
  HANDLE h_;
};

bool write_all(HANDLE file, std::string_view bytes) {
  size_t done = 0;
  while (done < bytes.size()) {
    const DWORD chunk = static_cast<DWORD>(std::min<size_t>(bytes.size() - done, size_t(1) << 30));
    DWORD written = 0;
    if (!WriteFile(file, bytes.data() + done, chunk, &written, nullptr)) return false;
    done += written;
  }
  return true;
}

std::wstring random_digits() {
  static thread_local std::mt19937_64 rng{std::random_device{}()};
  return std::to_wstring(GetCurrentProcessId()) + L"-" + std::to_wstring(rng() % 1000000000);
}

}  // namespace

void write_file_atomically(const std::filesystem::path& path, std::string_view bytes) {
  const std::wstring target = win32_name(path);
  const DWORD attributes = GetFileAttributesW(target.c_str());
  if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY))
    throw CommandError(windows_error_text(ERROR_ACCESS_DENIED));
  const std::wstring tmp = target + L".tmp-" + random_digits();
  Handle file(CreateFileW(tmp.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file.valid()) throw_last_error();
  if (!write_all(file.get(), bytes) || !FlushFileBuffers(file.get()) || !file.close()) {
    const DWORD err = GetLastError();
    file.close();
    DeleteFileW(tmp.c_str());
    throw CommandError(windows_error_text(err));
  }
  if (!MoveFileExW(tmp.c_str(), target.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
    const DWORD err = GetLastError();
    DeleteFileW(tmp.c_str());
    throw CommandError(windows_error_text(err));
  }
}

std::string read_whole_file(const std::filesystem::path& path, size_t max_bytes) {
  Handle file(CreateFileW(win32_name(path).c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                          nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file.valid()) throw_last_error();
  LARGE_INTEGER size{};
  if (!GetFileSizeEx(file.get(), &size)) throw_last_error();
  if (static_cast<unsigned long long>(size.QuadPart) > max_bytes)
    throw CommandError("файл слишком большой: " + std::to_string(size.QuadPart) + " байт");
  std::string data;
  data.reserve(static_cast<size_t>(size.QuadPart));
  std::vector<char> buf(size_t(1) << 16);
  for (;;) {
    DWORD n = 0;
    if (!ReadFile(file.get(), buf.data(), static_cast<DWORD>(buf.size()), &n, nullptr)) throw_last_error();
    if (n == 0) break;
    if (data.size() + n > max_bytes) throw CommandError("файл слишком большой");
    data.append(buf.data(), n);
  }
  return data;
}

void copy_file_durably(const std::filesystem::path& from, const std::filesystem::path& to) {
  Handle in(CreateFileW(win32_name(from).c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                        OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!in.valid()) throw_last_error();
  Handle out(CreateFileW(win32_name(to).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL,
                         nullptr));
  if (!out.valid()) throw_last_error();
  std::vector<char> buffer(size_t(1) << 20);
  for (;;) {
    DWORD n = 0;
    if (!ReadFile(in.get(), buffer.data(), static_cast<DWORD>(buffer.size()), &n, nullptr)) throw_last_error();
    if (n == 0) break;
    if (!write_all(out.get(), std::string_view(buffer.data(), n))) throw_last_error();
  }
  if (!FlushFileBuffers(out.get()) || !out.close()) throw_last_error();
}

void replace_file(const std::filesystem::path& from, const std::filesystem::path& to) {
  if (!MoveFileExW(win32_name(from).c_str(), win32_name(to).c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
    throw_last_error();
}

bool append_to_file(const std::filesystem::path& path, std::string_view bytes) {
  Handle file(CreateFileW(win32_name(path).c_str(), FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                          OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file.valid()) return false;
  const bool ok = write_all(file.get(), bytes);
  return file.close() && ok;
}

std::filesystem::path create_temp_file(std::string_view prefix, std::string_view suffix) {
  wchar_t dir[MAX_PATH + 1];
  const DWORD n = GetTempPathW(MAX_PATH + 1, dir);
  if (n == 0 || n > MAX_PATH) throw_last_error();
  for (int attempt = 0;; ++attempt) {
    const std::filesystem::path candidate =
        std::filesystem::path(std::wstring(dir, n)) /
        (utf8_path(prefix).native() + random_digits() + utf8_path(suffix).native());
    HANDLE h = CreateFileW(candidate.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h != INVALID_HANDLE_VALUE) {
      CloseHandle(h);
      return candidate;
    }
    if (GetLastError() != ERROR_FILE_EXISTS || attempt > 100) throw_last_error();
  }
}

std::string narrow_path_for_c_library(const std::filesystem::path& path) {
  auto in_code_page = [](const std::wstring& wide, std::string& out) {
    BOOL lossy = FALSE;
    const int n = WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, wide.c_str(), static_cast<int>(wide.size()),
                                      nullptr, 0, nullptr, &lossy);
    if (n <= 0 && !wide.empty()) return false;
    if (lossy) return false;
    out.assign(static_cast<size_t>(n), '\0');
    WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, wide.c_str(), static_cast<int>(wide.size()), out.data(), n,
                        nullptr, &lossy);
    return !lossy;
  };
  std::string out;
  if (in_code_page(path.native(), out)) return out;
  // The short (8.3) form of an existing path is plain ASCII where the volume keeps such names.
  const std::wstring name = win32_name(path);
  const DWORD size = GetShortPathNameW(name.c_str(), nullptr, 0);
  if (size > 0) {
    std::wstring short_name(size, L'\0');
    const DWORD n = GetShortPathNameW(name.c_str(), short_name.data(), size);
    short_name.resize(n);
    if (n > 0 && n < size && in_code_page(short_name, out)) return out;
  }
  throw CommandError("путь не записывается в кодировке Windows: " + path_utf8(path));
}

}  // namespace calcora
