// The last line of defence: unhandled faults and failed starts are written to the
// start-up log and shown in a message box, the only diagnostics a user whose program
// did not start will ever see.
#pragma once

#include <functional>
#include <source_location>
#include <stdexcept>
#include <string>

namespace calcora {

// A fatal internal fault with the place it was raised.
class Fault : public std::runtime_error {
 public:
  Fault(const std::string& text, std::source_location where) : std::runtime_error(text), where_(where) {}
  const std::source_location& where() const { return where_; }

 private:
  std::source_location where_;
};

[[noreturn]] void raise_fault(const std::string& text, std::source_location where = std::source_location::current());

// Shows a modal error box; the desktop shell installs a GTK one, the loopback host none.
using ErrorBox = std::function<void(const std::string& caption, const std::string& text)>;
void set_error_box(ErrorBox box);

// "panicked at FILE:LINE:COL" and, when there is a text, ":\n" and the text.
std::string panic_message(const std::string& file, unsigned line, unsigned column, const std::string& text);

// Appends "<local time> <message>\n" to the start-up log, creating its folder; failures are ignored.
void append_startup_log(const std::string& message);

// Installs the terminate handler and the fatal-signal handlers.
void install_fault_hook();

// Reports a fault exactly as the hook does (stderr, log, box), without ending the process.
void report_fault(const std::string& message);

// A start that failed before set-up: stderr, log, the "ошибка запуска" box, exit code 1.
[[noreturn]] void fail_start(const std::string& reason);

}  // namespace calcora
