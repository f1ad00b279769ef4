// Helpers of open_external_url, exposed for tests.
#pragma once

#include <string>
#include <string_view>

namespace calcora {

// The host of an https:// address, without port.
std::string url_host(std::string_view url);
// True for https addresses on the product's website (bare or www domain, exact case).
bool is_own_site_url(std::string_view url);

}  // namespace calcora
