// What the pieces of the desktop window share: the window, its web view, the command
// dispatcher and the open modal dialogs. One instance lives for the whole run.
#pragma once

#include <gtk/gtk.h>
#include <webkit2/webkit2.h>

#include "app/desktop/modals.h"
#include "commands/dispatcher.h"

namespace calcora::desktop {

// GLib log domain of the window's debug lines; shown with G_MESSAGES_DEBUG=calcora.
inline constexpr const char* kLogDomain = "calcora";

struct Shell {
  explicit Shell(Dispatcher& d) : dispatcher(d) {}
  Shell(const Shell&) = delete;
  Shell& operator=(const Shell&) = delete;

  Dispatcher& dispatcher;
  GtkWindow* window = nullptr;
  WebKitWebView* view = nullptr;
  Modals modals;
  // Set once the user has asked to close: no new dialog may then hold the window open.
  bool closing = false;
};

}  // namespace calcora::desktop
