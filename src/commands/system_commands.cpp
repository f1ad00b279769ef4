// The two commands that belong to no subsystem: opening the product's website in the
// user's browser and writing a text file the page has composed.
#include <string>

#include "commands/dispatcher.h"
#include "commands/registration.h"
#include "commands/system_commands.h"
#include "common/file_io.h"
#include "common/product.h"

namespace calcora {

namespace {

constexpr const char* kOnlyOwnSite = "можно открыть только сайт Calcora";

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

void register_system_commands(CommandRegistry& registry) {
  registry.add("open_external_url", [](AppState&, const Args& args) -> Json {
    auto url = args.required<std::string>("url");
    if (!is_own_site_url(url)) throw CommandError(kOnlyOwnSite);
    open_in_browser(url);
    return nullptr;
  });
  registry.add("write_utf8", [](AppState&, const Args& args) -> Json {
    auto path = args.required<std::filesystem::path>("path");
    auto text = args.required<std::string>("text");
    write_file_atomically(path, text);
    return nullptr;
  });
}

}  // namespace calcora
