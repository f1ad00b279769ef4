#include "app/browser_shell/browser_launch.h"

#include <fstream>
#include <system_error>

#include "common/utf8_path.h"

namespace calcora::browser_shell {

namespace {

struct KnownBrowser {
  const char* exe_name;
  const char* folder;  // under an install root
};

constexpr KnownBrowser kBrowsers[] = {
    {"msedge.exe", "Microsoft/Edge/Application"},
    {"chrome.exe", "Google/Chrome/Application"},
};

constexpr const char* kRememberedPortFile = "calcora-port";

// The usual rule of Windows programs' argument splitting: backslashes are literal unless they
// come before a double quote.
void append_windows_argument(std::wstring& line, const std::wstring& argument) {
  if (!argument.empty() && argument.find_first_of(L" \t\n\v\"") == std::wstring::npos) {
    line += argument;
    return;
  }
  line += L'"';
  size_t backslashes = 0;
  for (wchar_t c : argument) {
    if (c == L'\\') {
      ++backslashes;
      continue;
    }
    if (c == L'"') backslashes = backslashes * 2 + 1;
    line.append(backslashes, L'\\');
    backslashes = 0;
    line += c;
  }
  line.append(backslashes * 2, L'\\');
  line += L'"';
}

std::wstring utf16_text(const std::string& utf8) {
  const std::u16string text = utf8_path(utf8).u16string();
  return std::wstring(text.begin(), text.end());
}

}  // namespace

std::optional<std::filesystem::path> find_browser(const BrowserSearch& search) {
  if (search.chosen) return search.chosen;
  for (const KnownBrowser& browser : kBrowsers) {
    if (search.registered) {
      auto path = search.registered(browser.exe_name);
      if (path && search.exists(*path)) return path;
    }
    for (const auto& root : search.install_roots) {
      auto path = root / utf8_path(browser.folder) / browser.exe_name;
      if (search.exists(path)) return path.make_preferred();
    }
  }
  return std::nullopt;
}

std::string page_address(int port, const std::string& key) {
  return "http://127.0.0.1:" + std::to_string(port) + "/#key=" + key + "&shell=app";
}

std::vector<std::string> browser_arguments(const std::string& address, const std::filesystem::path& profile_dir) {
  return {"--app=" + address,
          "--user-data-dir=" + path_utf8(profile_dir),
          "--window-size=1280,800",
          "--no-first-run",
          "--no-default-browser-check",
          "--disable-background-mode",
          "--disable-sync",
          // The browser ends with the program if the program ends abnormally; its next start
          // should not offer to restore pages.
          "--hide-crash-restore-bubble"};
}

std::wstring windows_command_line(const std::filesystem::path& program, const std::vector<std::string>& arguments) {
  std::wstring line;
  append_windows_argument(line, utf16_text(path_utf8(program)));
  for (const std::string& argument : arguments) {
    line += L' ';
    append_windows_argument(line, utf16_text(argument));
  }
  return line;
}

std::optional<int> remembered_port(const std::filesystem::path& profile_dir) {
  std::ifstream in(profile_dir / kRememberedPortFile);
  int port = 0;
  if (in >> port && port > 0 && port <= 65535) return port;
  return std::nullopt;
}

void remember_port(const std::filesystem::path& profile_dir, int port) {
  std::error_code ignored;
  std::filesystem::create_directories(profile_dir, ignored);
  std::ofstream(profile_dir / kRememberedPortFile, std::ios::trunc) << port << '\n';
}

}  // namespace calcora::browser_shell
