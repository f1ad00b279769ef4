#include "proposal/site_address.h"

#include <algorithm>
#include <cstdlib>

#include "common/product.h"

namespace calcora {

namespace {

// kWebsiteUrl with "www." put before its host name.
std::string website_www_url() {
  std::string url = kWebsiteUrl;
  auto host = url.find("://");
  return url.insert(host + 3, "www.");
}

// "http://localhost" or "http://127.0.0.1", alone or with a port. The port must be digits,
// optionally followed by a path: anything else after the colon could hide a user-info part
// ("http://localhost:x@elsewhere") that sends the customer to another host.
bool is_loopback_http(std::string_view base) {
  for (std::string_view prefix : {"http://localhost", "http://127.0.0.1"}) {
    if (!base.starts_with(prefix)) continue;
    std::string_view rest = base.substr(prefix.size());
    if (rest.empty()) return true;
    if (rest.front() != ':') return false;
    std::string_view port = rest.substr(1);
    port = port.substr(0, port.find('/'));
    return !port.empty() && std::all_of(port.begin(), port.end(), [](char c) { return c >= '0' && c <= '9'; });
  }
  return false;
}

}  // namespace

std::string service_base_address(const char* variable_value) {
  std::string base = variable_value && *variable_value ? variable_value : kWebsiteUrl;
  while (!base.empty() && base.back() == '/') base.pop_back();
  return base;
}

std::string service_base_address_from_environment() { return service_base_address(std::getenv(kSiteUrlVariable)); }

bool is_allowed_base_address(std::string_view base) {
  return base == kWebsiteUrl || base == website_www_url() || is_loopback_http(base);
}

bool is_usable_token(std::string_view token) {
  return !token.empty() && token.find_first_of("/?#") == std::string_view::npos;
}

std::string customer_address(std::string_view base, std::string_view token) {
  std::string url(base);
  url += "/p/";
  url += token;
  return url;
}

}  // namespace calcora
