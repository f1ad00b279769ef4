// Serves the embedded page under calcora://app and keeps the view on that origin.
#pragma once

#include <webkit2/webkit2.h>

#include <string_view>

namespace calcora::desktop {

// The address the window opens.
inline constexpr const char* kPageEntry = "calcora://app/index.html";

// Registers the calcora: scheme on the context; its answers carry the content-security policy.
void register_page_scheme(WebKitWebContext* context);

// Whether the view may go to this address: only the page's own origin (and the blank and
// blob documents the page makes itself), never the network or a dropped file.
bool page_may_navigate_to(std::string_view uri);

// Connects the decide-policy handler that refuses every other address.
void keep_view_on_page(WebKitWebView* view);

}  // namespace calcora::desktop
