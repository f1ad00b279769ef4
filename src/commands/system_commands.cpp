// The two commands that belong to no subsystem: opening the product's website in the
// user's browser and writing a text file the page has composed.
#include <spawn.h>
#include <sys/wait.h>

#include <cerrno>
#include <cstring>
#include <string>

#include "commands/dispatcher.h"
#include "commands/registration.h"
#include "commands/system_commands.h"
#include "common/file_io.h"
#include "common/product.h"

extern char** environ;

namespace calcora {

namespace {

constexpr const char* kOnlyOwnSite = "можно открыть только сайт Calcora";
constexpr const char* kBrowserFailed = "не открылся браузер";

}  // namespace

std::string url_host(std::string_view url) {
  constexpr std::string_view kPrefix = "https://";
  std::string_view rest = url.substr(kPrefix.size());
  rest = rest.substr(0, rest.find_first_of("/?#"));
  return std::string(rest.substr(0, rest.find(':')));
}

bool is_own_site_url(std::string_view url) {
  if (url.size() <= 8 || url.substr(0, 8) != "https://") return false;
  std::string host = url_host(url);
  return host == kWebsiteDomain || host == kWebsiteWwwDomain;
}

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

void register_system_commands(CommandRegistry& registry) {
  registry.add("open_external_url", [](AppState&, const Args& args) -> Json {
    auto url = args.required<std::string>("url");
    if (!is_own_site_url(url)) throw CommandError(kOnlyOwnSite);
    open_in_browser(url);
    return nullptr;
  });
  registry.add("write_utf8", [](AppState&, const Args& args) -> Json {
    auto path = args.required<std::string>("path");
    auto text = args.required<std::string>("text");
    write_file_atomically(path, text);
    return nullptr;
  });
}

}  // namespace calcora
