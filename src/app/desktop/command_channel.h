// The page's command channel: window.webkit.messageHandlers.calcora.postMessage(text) with
// the JSON text {command, args}; the promise gets the result's JSON text or the error text.
#pragma once

#include <string_view>

#include "app/desktop/shell.h"

namespace calcora::desktop {

// Decodes one request and runs it through the dispatcher.
CommandOutcome run_page_request(Dispatcher& dispatcher, std::string_view request_json);

// Registers the "calcora" handler on the view's content manager.
void connect_command_channel(Shell& shell, WebKitUserContentManager* content);

}  // namespace calcora::desktop
