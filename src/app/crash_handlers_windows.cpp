#include <windows.h>

#include <csignal>
#include <cstdio>
#include <cstdlib>

#include "app/crash_handlers.h"
#include "app/fault.h"

namespace calcora {

namespace {

LONG WINAPI on_unhandled_exception(EXCEPTION_POINTERS* info) {
  // Best effort: the process is already broken, and this is the user's only clue.
  const DWORD code = info && info->ExceptionRecord ? info->ExceptionRecord->ExceptionCode : 0;
  char text[64];
  std::snprintf(text, sizeof text, "exception 0x%08lX", static_cast<unsigned long>(code));
  report_fault(panic_message("exception", 0, 0, text));
  return EXCEPTION_EXECUTE_HANDLER;  // ends the process without the system's own dialog
}

void on_abort(int) {
  std::signal(SIGABRT, SIG_DFL);
  report_fault(panic_message("signal", SIGABRT, 0, "Aborted"));
  std::_Exit(3);
}

}  // namespace

void install_crash_handlers() {
  SetUnhandledExceptionFilter(on_unhandled_exception);
  std::signal(SIGABRT, on_abort);
}

}  // namespace calcora
