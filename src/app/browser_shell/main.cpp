// calcora: the desktop program on Windows. Takes no arguments. It runs the loopback host inside
// itself and shows the page in an application window of the installed browser, and ends when
// that window closes. A failed start leaves a line in the start-up log and an error box.
#include <chrono>
#include <cstdlib>
#include <iostream>
#include <memory>
#include <optional>
#include <thread>

#include "app/browser_shell/browser_launch.h"
#include "app/browser_shell/browser_platform.h"
#include "app/fault.h"
#include "app/paths.h"
#include "app/startup.h"
#include "common/random_id.h"
#include "serve/loopback_host.h"

namespace shell = calcora::browser_shell;

namespace {

// The host on the port of the last run when it is free, else on any free port.
std::unique_ptr<calcora::LoopbackHost> bind_host(calcora::Dispatcher& dispatcher, calcora::LoopbackOptions options,
                                                 const std::filesystem::path& profile_dir, int& port) {
  if (auto last = shell::remembered_port(profile_dir)) {
    options.port = *last;
    auto host = std::make_unique<calcora::LoopbackHost>(dispatcher, options);
    if ((port = host->bind()) > 0) return host;
  }
  options.port = 0;
  auto host = std::make_unique<calcora::LoopbackHost>(dispatcher, options);
  if ((port = host->bind()) > 0) shell::remember_port(profile_dir, port);
  return host;
}

}  // namespace

int main() {
  const auto started = std::chrono::steady_clock::now();
  calcora::install_fault_hook();
  shell::install_error_box();
  if (!shell::claim_single_instance()) return EXIT_SUCCESS;

  const auto browser = shell::find_browser(shell::platform_browser_search());
  if (!browser) calcora::fail_start("не найден браузер Microsoft Edge или Google Chrome, в окне которого работает программа");

  // From here on a failure is a fault: reported with the "критическая ошибка" box.
  const auto data_dir = calcora::app_data_dir();
  if (!data_dir) calcora::raise_fault(calcora::kNoAppDataDirReason);
  std::unique_ptr<calcora::AppState> state = calcora::set_up_app_state(*data_dir);
  calcora::Dispatcher dispatcher(*state);

  const std::unique_ptr<shell::ShellDialogs> dialogs = shell::make_shell_dialogs();
  calcora::LoopbackOptions options;
  options.key = calcora::random_uuid();
  options.dialogs = dialogs.get();
  bool page_seen = false;
  options.page_served = [&] {
    if (page_seen) return;
    page_seen = true;
    const auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - started);
    std::cerr << "calcora: page loaded " << ms.count() << " ms after start" << std::endl;
  };
  const std::filesystem::path profile_dir = *data_dir / "browser";
  int port = -1;
  auto host = bind_host(dispatcher, options, profile_dir, port);
  if (port < 0) calcora::raise_fault("не удалось занять порт на 127.0.0.1 для окна программы");
  std::thread serving([&] { host->serve(); });
  auto stop_host = [&] {
    dialogs->dismiss_all();
    host->stop();
    serving.join();
  };

  std::string error;
  auto window = shell::start_browser(*browser, shell::browser_arguments(shell::page_address(port, options.key), profile_dir),
                                     error);
  if (!window) {
    stop_host();
    calcora::raise_fault("не удалось открыть окно программы в браузере: " + error);
  }
  window->wait_until_closed();
  stop_host();
  return EXIT_SUCCESS;
}
