#include <csignal>
#include <cstring>

#include "app/crash_handlers.h"
#include "app/fault.h"

namespace calcora {

namespace {

void on_fatal_signal(int sig) {
  // Best effort: the process is already broken, and this is the user's only clue.
  std::signal(sig, SIG_DFL);
  report_fault(panic_message("signal", static_cast<unsigned>(sig), 0, strsignal(sig)));
  std::raise(sig);
}

}  // namespace

void install_crash_handlers() {
  for (int sig : {SIGSEGV, SIGBUS, SIGFPE, SIGILL, SIGABRT}) std::signal(sig, on_fatal_signal);
}

}  // namespace calcora
