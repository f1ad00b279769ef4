#include <spawn.h>
#include <sys/wait.h>

#include <cerrno>
#include <string>

#include "common/errors.h"
#include "common/file_io.h"
#include "commands/system_commands.h"

extern char** environ;

namespace calcora {

void open_in_browser(const std::string& url) {
  // posix_spawnp hands the URL to xdg-open as one argument; no shell ever parses it,
  // so characters such as & or ; in the address cannot run anything.
  const char* argv[] = {"xdg-open", url.c_str(), nullptr};
  pid_t pid = 0;
  int rc = posix_spawnp(&pid, "xdg-open", nullptr, nullptr, const_cast<char* const*>(argv), environ);
  if (rc != 0) throw CommandError(std::string(kBrowserFailed) + ": " + os_error_text(rc));
  int status = 0;
  while (waitpid(pid, &status, 0) < 0) {
    if (errno != EINTR) throw CommandError(std::string(kBrowserFailed) + ": " + os_error_text(errno));
  }
  if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) throw CommandError(kBrowserFailed);
}

}  // namespace calcora
