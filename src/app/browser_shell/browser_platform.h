// What the desktop program needs from the operating system: browser_platform_windows.cpp.
// A WebView2 window would replace BrowserWindow and nothing else; the page, the host and the
// core stay as they are.
#pragma once

#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "app/browser_shell/browser_launch.h"
#include "app/native_dialogs.h"

namespace calcora::browser_shell {

// Hands the fault hook the platform's modal error box.
void install_error_box();

// True for the first running copy of the program for this user. A later copy asks the first to
// bring its window forward and gets false.
bool claim_single_instance();

// The places the platform offers for find_browser().
BrowserSearch platform_browser_search();

// The browser's application window, once started.
class BrowserWindow {
 public:
  virtual ~BrowserWindow() = default;
  // Returns once the window has closed (the browser process has ended); meanwhile answers a
  // later copy's request to bring the window forward.
  virtual void wait_until_closed() = 0;
};

// Starts the browser; nothing, with the reason in `error`, when it cannot be started.
std::unique_ptr<BrowserWindow> start_browser(const std::filesystem::path& browser,
                                             const std::vector<std::string>& arguments, std::string& error);

// The platform's dialogs, owned by the browser's window while there is one.
class ShellDialogs : public NativeDialogs {
 public:
  // Answers every open dialog as cancelled: the window is gone.
  virtual void dismiss_all() = 0;
};
std::unique_ptr<ShellDialogs> make_shell_dialogs();

}  // namespace calcora::browser_shell
