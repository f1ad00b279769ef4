#include "app/desktop/page_events.h"

#include <string>

#include "app/desktop/shell.h"

namespace calcora::desktop {

void emit_to_page(WebKitWebView* view, std::string_view name, const Json& payload) {
  // JSON with every non-ASCII character escaped is a valid JavaScript literal.
  const auto literal = [](const Json& value) { return value.dump(-1, ' ', true, Json::error_handler_t::replace); };
  const std::string args = literal(Json(std::string(name))) + ", " + literal(payload);
  const std::string script = "window.__calcoraEmit && window.__calcoraEmit(" + args + ");";
  g_log(kLogDomain, G_LOG_LEVEL_DEBUG, "event %s", args.c_str());
  webkit_web_view_evaluate_javascript(view, script.c_str(), static_cast<gssize>(script.size()), nullptr, nullptr,
                                      nullptr, nullptr, nullptr);
}

}  // namespace calcora::desktop
