#include "app/desktop/main_window.h"

#include <iostream>

#include "app/desktop/command_channel.h"
#include "app/desktop/file_dialogs.h"
#include "app/desktop/file_drop.h"
#include "app/desktop/page_scheme.h"
#include "app/desktop/print_windows.h"
#include "app/desktop/script_dialogs.h"
#include "app/desktop/shortcuts.h"
#include "app/desktop/window_close.h"
#include "common/product.h"

namespace calcora::desktop {

namespace {

// The page's local storage (its preferences and recent files) is kept per origin under a
// fixed folder of the data directory, so it survives restarts.
WebKitWebContext* make_web_context(const std::filesystem::path& data_dir) {
  const std::string data = (data_dir / "webview").string();
  const std::string cache = (data_dir / "webview" / "cache").string();
  WebKitWebsiteDataManager* storage = webkit_website_data_manager_new("base-data-directory", data.c_str(),
                                                                      "base-cache-directory", cache.c_str(), nullptr);
  WebKitWebContext* context = webkit_web_context_new_with_website_data_manager(storage);
  g_object_unref(storage);
  // Every file of the page comes from memory, so there is nothing worth caching.
  webkit_web_context_set_cache_model(context, WEBKIT_CACHE_MODEL_DOCUMENT_VIEWER);
  register_page_scheme(context);
  return context;
}

WebKitWebView* make_view(Shell& shell, WebKitWebContext* context) {
  WebKitUserContentManager* content = webkit_user_content_manager_new();
  connect_command_channel(shell, content);
  connect_file_dialogs(shell, content);
  auto* view = WEBKIT_WEB_VIEW(
      g_object_new(WEBKIT_TYPE_WEB_VIEW, "web-context", context, "user-content-manager", content, nullptr));
  g_object_unref(content);
  WebKitSettings* settings = webkit_web_view_get_settings(view);
  webkit_settings_set_enable_developer_extras(settings, FALSE);
  webkit_settings_set_javascript_can_access_clipboard(settings, TRUE);
  return view;
}

// A page whose process died would leave a blank window; the data is safe in the database, so
// the page starts afresh. A page that keeps dying is left alone rather than restarted forever.
void on_page_process_ended(WebKitWebView* view, WebKitWebProcessTerminationReason reason, gpointer) {
  static int restarts = 0;
  if (reason == WEBKIT_WEB_PROCESS_TERMINATED_BY_API) return;
  const char* why = reason == WEBKIT_WEB_PROCESS_EXCEEDED_MEMORY_LIMIT ? "out of memory" : "crashed";
  const bool restart = ++restarts <= 3;
  std::cerr << "page process " << why << (restart ? ", reloading the page" : "") << std::endl;
  if (restart) webkit_web_view_load_uri(view, kPageEntry);
}

}  // namespace

void open_main_window(Shell& shell, const std::filesystem::path& data_dir) {
  GtkWidget* window = gtk_window_new(GTK_WINDOW_TOPLEVEL);
  shell.window = GTK_WINDOW(window);
  gtk_window_set_title(shell.window, kDisplayName);
  gtk_window_set_role(shell.window, "main");
  gtk_window_set_default_size(shell.window, 1280, 800);
  GdkGeometry minimum{};
  minimum.min_width = 900;
  minimum.min_height = 600;
  gtk_window_set_geometry_hints(shell.window, nullptr, &minimum, GDK_HINT_MIN_SIZE);
  gtk_window_set_resizable(shell.window, TRUE);
  gtk_window_set_position(shell.window, GTK_WIN_POS_CENTER);

  WebKitWebContext* context = make_web_context(data_dir);
  shell.view = make_view(shell, context);
  g_object_unref(context);  // the view holds it
  gtk_container_add(GTK_CONTAINER(window), GTK_WIDGET(shell.view));

  keep_view_on_page(shell.view);
  connect_script_dialogs(shell);
  connect_shortcuts(shell);
  connect_file_drop(shell);
  connect_window_close(shell);
  connect_print_windows(shell);
  g_signal_connect(shell.view, "web-process-terminated", G_CALLBACK(on_page_process_ended), nullptr);

  webkit_web_view_load_uri(shell.view, kPageEntry);
  gtk_widget_show_all(window);
  gtk_widget_grab_focus(GTK_WIDGET(shell.view));
}

}  // namespace calcora::desktop
