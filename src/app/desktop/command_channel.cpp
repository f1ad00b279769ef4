#include "app/desktop/command_channel.h"

#include <string>

namespace calcora::desktop {

namespace {

constexpr const char* kBadRequest = "invalid request: expected JSON text {\"command\": text, \"args\": object}";

// Commands run here, on the GTK thread, one at a time in the order the page sent them:
// WebKit delivers the messages in order and each answer is given before the next is read.
gboolean on_request(WebKitUserContentManager*, JSCValue* value, WebKitScriptMessageReply* reply, gpointer data) {
  auto& shell = *static_cast<Shell*>(data);
  if (!jsc_value_is_string(value)) {
    webkit_script_message_reply_return_error_message(reply, kBadRequest);
    return TRUE;
  }
  char* text = jsc_value_to_string(value);
  const CommandOutcome outcome = run_page_request(shell.dispatcher, text);
  g_free(text);
  if (outcome.ok) {
    // Text, not an object: WebKit hands large text across many times faster than a value tree.
    JSCValue* answer = jsc_value_new_string(jsc_value_get_context(value), outcome.body.c_str());
    webkit_script_message_reply_return_value(reply, answer);
    g_object_unref(answer);
  } else {
    webkit_script_message_reply_return_error_message(reply, outcome.body.c_str());
  }
  return TRUE;
}

}  // namespace

CommandOutcome run_page_request(Dispatcher& dispatcher, std::string_view request_json) {
  const Json request = Json::parse(request_json, nullptr, false);
  if (request.is_discarded() || !request.is_object() || !request.contains("command") || !request["command"].is_string())
    return {false, kBadRequest};
  const std::string command = request["command"].get<std::string>();
  const Json args = request.contains("args") ? request["args"] : Json::object();
  CommandOutcome outcome = dispatcher.dispatch(command, args);
  g_log(kLogDomain, G_LOG_LEVEL_DEBUG, "command %s %s", command.c_str(), outcome.ok ? "answered" : "failed");
  return outcome;
}

void connect_command_channel(Shell& shell, WebKitUserContentManager* content) {
  webkit_user_content_manager_register_script_message_handler_with_reply(content, "calcora", nullptr);
  g_signal_connect(content, "script-message-with-reply-received::calcora", G_CALLBACK(on_request), &shell);
}

}  // namespace calcora::desktop
