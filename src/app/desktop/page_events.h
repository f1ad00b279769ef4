// Events from the window to the page ("global-save", "global-open", "files-dropped").
#pragma once

#include <webkit2/webkit2.h>

#include <string_view>

#include "commands/json.h"

namespace calcora::desktop {

// Calls window.__calcoraEmit(name, payload) in the page; does nothing before the page is up.
void emit_to_page(WebKitWebView* view, std::string_view name, const Json& payload = nullptr);

}  // namespace calcora::desktop
