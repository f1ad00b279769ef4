#include "app/desktop/file_drop.h"

#include "app/desktop/page_events.h"

namespace calcora::desktop {

namespace {

// WebKit asks for the dragged data as soon as the drag enters the view, long before the
// drop; the paths are kept until the user actually lets go, and only then sent.
struct DropState {
  Shell* shell = nullptr;
  GdkDragContext* context = nullptr;  // the drag the paths belong to, held so its address stays its own
  std::vector<std::string> paths;
  bool have_data = false;
  bool dropped = false;

  void start(GdkDragContext* c) {
    if (context == c) return;
    if (context) g_object_unref(context);
    context = GDK_DRAG_CONTEXT(g_object_ref(c));
    paths.clear();
    have_data = dropped = false;
  }

  void send_if_ready() {
    if (!(have_data && dropped)) return;
    if (!paths.empty()) emit_to_page(shell->view, "files-dropped", Json(paths));
    g_object_unref(context);  // one event per drop
    context = nullptr;
    have_data = dropped = false;
    paths.clear();
  }
};

DropState drop_state;

void on_data_received(GtkWidget*, GdkDragContext* context, gint, gint, GtkSelectionData* data, guint, guint, gpointer) {
  drop_state.start(context);
  if (drop_state.have_data) return;
  if (gchar** uris = gtk_selection_data_get_uris(data)) {
    drop_state.paths = paths_of_uris(uris);
    g_strfreev(uris);
  }
  drop_state.have_data = true;
  drop_state.send_if_ready();
}

gboolean on_drop(GtkWidget*, GdkDragContext* context, gint, gint, guint, gpointer) {
  drop_state.start(context);
  drop_state.dropped = true;
  drop_state.send_if_ready();
  return FALSE;  // WebKit still delivers the drop to the page's own drop zones
}

}  // namespace

std::vector<std::string> paths_of_uris(const char* const* uris) {
  std::vector<std::string> paths;
  for (; uris && *uris; ++uris) {
    gchar* host = nullptr;
    gchar* path = g_filename_from_uri(*uris, &host, nullptr);
    // file://server/share/x names a file on another machine; read here it would be a different file.
    const bool local = !host || !*host || g_ascii_strcasecmp(host, "localhost") == 0 ||
                       g_ascii_strcasecmp(host, g_get_host_name()) == 0;
    if (path && local) paths.emplace_back(path);
    g_free(path);
    g_free(host);
  }
  return paths;
}

void connect_file_drop(Shell& shell) {
  drop_state.shell = &shell;
  g_signal_connect(shell.view, "drag-data-received", G_CALLBACK(on_data_received), nullptr);
  g_signal_connect(shell.view, "drag-drop", G_CALLBACK(on_drop), nullptr);
}

}  // namespace calcora::desktop
