#include "app/desktop/page_events.h"

#include <string>

#include "app/desktop/shell.h"

namespace calcora::desktop {

void emit_to_page(WebKitWebView* view, std::string_view name, const Json& payload) {
  // JSON with every non-ASCII character escaped is a valid JavaScript literal.
  const auto literal = [](const Json& value) { return value.dump(-1, ' ', true, Json::error_handler_t::replace); };
  const std::string script = "window.__calcoraEmit && window.__calcoraEmit(" + literal(Json(std::string(name))) +
                             ", " + literal(payload) + ");";
  g_log(kLogDomain, G_LOG_LEVEL_DEBUG, "event %.*s", static_cast<int>(name.size()), name.data());
  webkit_web_view_evaluate_javascript(view, script.c_str(), static_cast<gssize>(script.size()), nullptr, nullptr,
                                      nullptr, nullptr, nullptr);
}

}  // namespace calcora::desktop
