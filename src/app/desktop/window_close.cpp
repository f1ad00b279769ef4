#include "app/desktop/window_close.h"

namespace calcora::desktop {

namespace {

struct Closing {
  Shell* shell = nullptr;
  bool started = false;
  bool done = false;
  guint limit = 0;
  GCancellable* cancel = nullptr;
};

Closing closing;

void destroy_window() {
  if (closing.done) return;
  closing.done = true;
  if (closing.limit) g_source_remove(closing.limit);
  closing.limit = 0;
  g_cancellable_cancel(closing.cancel);
  gtk_widget_destroy(GTK_WIDGET(closing.shell->window));
}

void on_page_ready(GObject* view, GAsyncResult* result, gpointer) {
  GError* error = nullptr;
  if (JSCValue* value = webkit_web_view_call_async_javascript_function_finish(WEBKIT_WEB_VIEW(view), result, &error))
    g_object_unref(value);
  if (error) {
    // A page that failed its close work, or has no page at all, must not keep the window open.
    const bool cancelled = g_error_matches(error, G_IO_ERROR, G_IO_ERROR_CANCELLED);
    if (!cancelled) g_log(kLogDomain, G_LOG_LEVEL_DEBUG, "before-close failed: %s", error->message);
    g_error_free(error);
    if (cancelled) return;
  } else {
    g_log(kLogDomain, G_LOG_LEVEL_DEBUG, "the page finished its close work");
  }
  destroy_window();
}

gboolean on_limit(gpointer) {
  closing.limit = 0;
  g_log(kLogDomain, G_LOG_LEVEL_DEBUG, "before-close took longer than %u ms", kBeforeCloseLimitMs);
  destroy_window();
  return G_SOURCE_REMOVE;
}

gboolean on_delete(GtkWidget*, GdkEvent*, gpointer) {
  closing.shell->closing = true;
  closing.shell->modals.dismiss_all();
  if (closing.started) return TRUE;
  closing.started = true;
  // Awaited inside the page, so a pending save gets to finish.
  static constexpr const char* kBeforeClose =
      "if (typeof window.__calcoraBeforeClose === 'function') await window.__calcoraBeforeClose();";
  webkit_web_view_call_async_javascript_function(closing.shell->view, kBeforeClose, -1, nullptr, nullptr, nullptr,
                                                 closing.cancel, on_page_ready, nullptr);
  closing.limit = g_timeout_add(kBeforeCloseLimitMs, on_limit, nullptr);
  return TRUE;
}

// GTK drops a window's close request while a modal dialog holds the input grab, so the
// dialogs are dismissed before GTK looks at the request at all.
void on_any_event(GdkEvent* event, gpointer) {
  Shell* shell = closing.shell;
  if (event->type == GDK_DELETE && shell && shell->window &&
      event->any.window == gtk_widget_get_window(GTK_WIDGET(shell->window)) && shell->modals.any())
    shell->modals.dismiss_all();
  gtk_main_do_event(event);
}

}  // namespace

void connect_window_close(Shell& shell) {
  closing.shell = &shell;
  closing.cancel = g_cancellable_new();
  gdk_event_handler_set(on_any_event, nullptr, nullptr);
  g_signal_connect(shell.window, "delete-event", G_CALLBACK(on_delete), nullptr);
  g_signal_connect(shell.window, "destroy", G_CALLBACK(gtk_main_quit), nullptr);
}

}  // namespace calcora::desktop
