// The desktop program that shows the page in an application window of the installed browser
// (no frame, no address bar), served by the loopback host inside the program. These are the
// platform-free rules of that launch: which browser, which address, which arguments.
#pragma once

#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace calcora::browser_shell {

// Where a browser may be found, filled in by the platform (browser_platform_windows.cpp) and by tests.
struct BrowserSearch {
  // A browser named by the environment (CALCORA_BROWSER): taken as it is, tests use it for a stand-in.
  std::optional<std::filesystem::path> chosen;
  // The path the system registers for a program file name ("msedge.exe"), if any.
  std::function<std::optional<std::filesystem::path>(const std::string& exe_name)> registered;
  // Folders browsers install into: Program Files (x86), Program Files, the user's local app data.
  std::vector<std::filesystem::path> install_roots;
  std::function<bool(const std::filesystem::path&)> exists;
};

// Microsoft Edge first (every Windows 10/11 has it), then Google Chrome; nothing when neither is found.
std::optional<std::filesystem::path> find_browser(const BrowserSearch& search);

// The page's address with the host's key, marked as opened by the desktop program so that the
// page asks the host for native dialogs.
std::string page_address(int port, const std::string& key);

// The browser's arguments: an application window on the page, with a profile of its own under
// the program's data folder (so the page's local storage stays ours), and no first-run screens.
std::vector<std::string> browser_arguments(const std::string& address, const std::filesystem::path& profile_dir);

// One command line from arguments, quoted the way Windows programs split them again.
std::wstring windows_command_line(const std::filesystem::path& program, const std::vector<std::string>& arguments);

// The page's local storage belongs to its origin, port included: the program asks for the port
// of its last run first, and remembers the one it got.
std::optional<int> remembered_port(const std::filesystem::path& profile_dir);
void remember_port(const std::filesystem::path& profile_dir, int port);

}  // namespace calcora::browser_shell
