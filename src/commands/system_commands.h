// Helpers of open_external_url, exposed for tests.
#pragma once

#include <string>
#include <string_view>

namespace calcora {

// The host of an https:// address, without port.
std::string url_host(std::string_view url);
// True for https addresses on the product's website (bare or www domain, exact case).
bool is_own_site_url(std::string_view url);

inline constexpr const char* kBrowserFailed = "не открылся браузер";
// Hands the address to the user's default browser and waits for the hand-over to finish;
// throws CommandError "не открылся браузер" (with ": " and the reason when there is one).
// One implementation per platform: browser_linux.cpp, browser_windows.cpp.
void open_in_browser(const std::string& url);

}  // namespace calcora
