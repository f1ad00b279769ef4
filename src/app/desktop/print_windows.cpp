#include "app/desktop/print_windows.h"

#include "app/desktop/page_scheme.h"

namespace calcora::desktop {

namespace {

constexpr int kDefaultWidth = 900;
constexpr int kDefaultHeight = 700;

// The print dialog names the PDF after the window's title. The page may set the title before the
// window is shown or after, so the title is followed from the view's creation and passed on to
// whichever window holds the view.
void on_title_changed(WebKitWebView* view, GParamSpec*, gpointer) {
  GtkWidget* window = gtk_widget_get_toplevel(GTK_WIDGET(view));
  if (!GTK_IS_WINDOW(window)) return;
  const char* title = webkit_web_view_get_title(view);
  gtk_window_set_title(GTK_WINDOW(window), title && *title ? title : "Calcora");
}

// `window.close()` from the document, once it is no longer needed.
void on_close_requested(WebKitWebView* view, gpointer) {
  if (GtkWidget* window = gtk_widget_get_toplevel(GTK_WIDGET(view)); GTK_IS_WINDOW(window))
    gtk_widget_destroy(window);
}

void on_ready_to_show(WebKitWebView* view, gpointer data) {
  auto& shell = *static_cast<Shell*>(data);
  GtkWidget* window = gtk_window_new(GTK_WINDOW_TOPLEVEL);
  gtk_window_set_role(GTK_WINDOW(window), "print");
  gtk_window_set_transient_for(GTK_WINDOW(window), shell.window);
  gtk_window_set_destroy_with_parent(GTK_WINDOW(window), TRUE);
  // Its own group: the print dialog, modal to this window, leaves the editor usable.
  GtkWindowGroup* group = gtk_window_group_new();
  gtk_window_group_add_window(group, GTK_WINDOW(window));
  g_object_unref(group);

  int width = kDefaultWidth;
  int height = kDefaultHeight;
  GdkRectangle asked{};
  webkit_window_properties_get_geometry(webkit_web_view_get_window_properties(view), &asked);
  if (asked.width > 0 && asked.height > 0) {
    width = asked.width;
    height = asked.height;
  }
  gtk_window_set_default_size(GTK_WINDOW(window), width, height);
  gtk_window_set_position(GTK_WINDOW(window), GTK_WIN_POS_CENTER_ON_PARENT);

  gtk_container_add(GTK_CONTAINER(window), GTK_WIDGET(view));
  on_title_changed(view, nullptr, nullptr);
  gtk_widget_show_all(window);
  g_log(kLogDomain, G_LOG_LEVEL_DEBUG, "print window opened");
  g_signal_connect(window, "destroy", G_CALLBACK(+[](GtkWidget*, gpointer) {
                     g_log(kLogDomain, G_LOG_LEVEL_DEBUG, "print window closed");
                   }),
                   nullptr);
}

GtkWidget* on_create(WebKitWebView* view, WebKitNavigationAction* action, gpointer data) {
  WebKitURIRequest* request = webkit_navigation_action_get_request(action);
  const char* uri = request ? webkit_uri_request_get_uri(request) : nullptr;
  if (!page_may_open_window_on(uri ? uri : "")) {
    g_log(kLogDomain, G_LOG_LEVEL_DEBUG, "window on %s refused", uri ? uri : "(none)");
    return nullptr;
  }
  // The related view shares the page's process, so the page can write into its document.
  WebKitWebView* child = WEBKIT_WEB_VIEW(webkit_web_view_new_with_related_view(view));
  keep_view_on_page(child);
  g_signal_connect(child, "notify::title", G_CALLBACK(on_title_changed), nullptr);
  g_signal_connect(child, "ready-to-show", G_CALLBACK(on_ready_to_show), data);
  g_signal_connect(child, "close", G_CALLBACK(on_close_requested), nullptr);
  return GTK_WIDGET(child);
}

}  // namespace

bool page_may_open_window_on(std::string_view uri) { return uri.empty() || uri == "about:blank"; }

void connect_print_windows(Shell& shell) { g_signal_connect(shell.view, "create", G_CALLBACK(on_create), &shell); }

}  // namespace calcora::desktop
