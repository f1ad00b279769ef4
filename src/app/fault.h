// The last line of defence: unhandled faults and failed starts are written to the
// start-up log and shown in a message box, the only diagnostics a user whose program
// did not start will ever see.
#pragma once

#include <functional>
#if !defined(__clang__)
#include <source_location>
#endif
#include <stdexcept>
#include <string>

namespace calcora {

// Where in the source a fault was raised, filled in at the call site. clang 14 cannot use
// libstdc++'s std::source_location (the sanitizer and fuzzing builds use clang), so it
// takes the compiler builtins there.
struct SourcePlace {
  const char* file;
  unsigned line;
  unsigned column;
#if defined(__clang__)
  static constexpr SourcePlace here(const char* file = __builtin_FILE(), unsigned line = __builtin_LINE(),
                                    unsigned column = __builtin_COLUMN()) {
    return {file, line, column};
  }
#else
  static constexpr SourcePlace here(std::source_location at = std::source_location::current()) {
    return {at.file_name(), at.line(), at.column()};
  }
#endif
};

// A fatal internal fault with the place it was raised.
class Fault : public std::runtime_error {
 public:
  Fault(const std::string& text, SourcePlace where) : std::runtime_error(text), where_(where) {}
  const SourcePlace& where() const { return where_; }

 private:
  SourcePlace where_;
};

[[noreturn]] void raise_fault(const std::string& text, SourcePlace where = SourcePlace::here());

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
