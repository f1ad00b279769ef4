#include "app/desktop/page_scheme.h"

#include <libsoup/soup.h>

#include <exception>
#include <string>

#include "app/desktop/print_windows.h"
#include "app/desktop/shell.h"
#include "app/page/page_files.h"
#include "app/page_policy.h"

namespace calcora::desktop {

namespace {

bool starts_with(std::string_view text, std::string_view prefix) { return text.substr(0, prefix.size()) == prefix; }

bool is_page_address(std::string_view uri) {
  const std::string origin = kPageOrigin;
  return uri == origin || starts_with(uri, origin + "/") || starts_with(uri, origin + "?") ||
         starts_with(uri, origin + "#");
}

void refuse(WebKitURISchemeRequest* request, const char* why) {
  GError* error = g_error_new_literal(G_IO_ERROR, G_IO_ERROR_NOT_FOUND, why);
  webkit_uri_scheme_request_finish_error(request, error);
  g_error_free(error);
}

void serve(WebKitURISchemeRequest* request, gpointer) {
  const char* uri = webkit_uri_scheme_request_get_uri(request);
  if (!uri || !is_page_address(uri)) return refuse(request, "only the page's own origin is served");
  const char* path = webkit_uri_scheme_request_get_path(request);
  const EmbeddedFile* file = nullptr;
  try {
    file = &page_file_for_path(path && *path ? path : "/");
  } catch (const std::exception& e) {
    return refuse(request, e.what());
  }
  // The bytes live as long as the program, so the stream may borrow them.
  GInputStream* stream =
      g_memory_input_stream_new_from_data(file->bytes.data(), static_cast<gssize>(file->bytes.size()), nullptr);
  WebKitURISchemeResponse* response = webkit_uri_scheme_response_new(stream, static_cast<gint64>(file->bytes.size()));
  const std::string content_type(mime_type_for(file->name));
  const std::string mime = content_type.substr(0, content_type.find(';'));
  webkit_uri_scheme_response_set_status(response, 200, "OK");
  webkit_uri_scheme_response_set_content_type(response, mime.c_str());
  SoupMessageHeaders* headers = soup_message_headers_new(SOUP_MESSAGE_HEADERS_RESPONSE);
  // The headers replace the response's own: without Content-Type here the style sheet is refused.
  soup_message_headers_append(headers, "Content-Type", content_type.c_str());
  soup_message_headers_append(headers, "Content-Security-Policy", kContentSecurityPolicy);
  soup_message_headers_append(headers, "Cache-Control", "no-store");
  soup_message_headers_append(headers, "X-Content-Type-Options", "nosniff");
  webkit_uri_scheme_response_set_http_headers(response, headers);  // takes the headers
  webkit_uri_scheme_request_finish_with_response(request, response);
  g_object_unref(response);
  g_object_unref(stream);
}

gboolean decide_policy(WebKitWebView*, WebKitPolicyDecision* decision, WebKitPolicyDecisionType type, gpointer) {
  if (type != WEBKIT_POLICY_DECISION_TYPE_NAVIGATION_ACTION && type != WEBKIT_POLICY_DECISION_TYPE_NEW_WINDOW_ACTION)
    return FALSE;
  auto* navigation = WEBKIT_NAVIGATION_POLICY_DECISION(decision);
  WebKitNavigationAction* action = webkit_navigation_policy_decision_get_navigation_action(navigation);
  WebKitURIRequest* request = webkit_navigation_action_get_request(action);
  const char* uri = webkit_uri_request_get_uri(request);
  // A new window opens only on an empty document for the page to print from; the page's own
  // addresses never open twice, the program has one main window.
  const bool allowed = type == WEBKIT_POLICY_DECISION_TYPE_NAVIGATION_ACTION ? uri && page_may_navigate_to(uri)
                                                                           : page_may_open_window_on(uri ? uri : "");
  if (allowed) {
    webkit_policy_decision_use(decision);
  } else {
    g_log(kLogDomain, G_LOG_LEVEL_DEBUG, "navigation to %s refused", uri ? uri : "(none)");
    webkit_policy_decision_ignore(decision);
  }
  return TRUE;
}

}  // namespace

void register_page_scheme(WebKitWebContext* context) {
  webkit_web_context_register_uri_scheme(context, kPageScheme, serve, nullptr, nullptr);
  WebKitSecurityManager* security = webkit_web_context_get_security_manager(context);
  // A secure origin gets the same storage and script features as an https page would.
  webkit_security_manager_register_uri_scheme_as_secure(security, kPageScheme);
  webkit_security_manager_register_uri_scheme_as_cors_enabled(security, kPageScheme);
}

bool page_may_navigate_to(std::string_view uri) {
  if (is_page_address(uri)) return true;
  if (uri == "about:blank" || uri == "about:srcdoc") return true;
  return starts_with(uri, std::string("blob:") + kPageOrigin + "/");
}

void keep_view_on_page(WebKitWebView* view) {
  g_signal_connect(view, "decide-policy", G_CALLBACK(decide_policy), nullptr);
}

}  // namespace calcora::desktop
