#include "app/desktop/error_box.h"

#include <gtk/gtk.h>

#include "app/fault.h"

namespace calcora::desktop {

namespace {

GThread* gtk_thread = nullptr;

void show_error_box(const std::string& caption, const std::string& text) {
  // GTK may only be driven from its own thread; a fault elsewhere still reaches stderr and the log.
  if (g_thread_self() != gtk_thread) return;
  GtkWidget* box =
      gtk_message_dialog_new(nullptr, GTK_DIALOG_MODAL, GTK_MESSAGE_ERROR, GTK_BUTTONS_OK, "%s", text.c_str());
  gtk_window_set_title(GTK_WINDOW(box), caption.c_str());
  // GTK 3 message boxes show no icon of their own any more; a fault box should still look like one.
  G_GNUC_BEGIN_IGNORE_DEPRECATIONS
  GtkWidget* icon = gtk_image_new_from_icon_name("dialog-error", GTK_ICON_SIZE_DIALOG);
  gtk_message_dialog_set_image(GTK_MESSAGE_DIALOG(box), icon);
  G_GNUC_END_IGNORE_DEPRECATIONS
  gtk_widget_show(icon);
  gtk_window_set_position(GTK_WINDOW(box), GTK_WIN_POS_CENTER);
  gtk_window_set_keep_above(GTK_WINDOW(box), TRUE);
  gtk_dialog_run(GTK_DIALOG(box));
  gtk_widget_destroy(box);
  // Let the box disappear from the screen before the process goes on to end.
  while (gtk_events_pending()) gtk_main_iteration();
}

}  // namespace

void install_gtk_error_box() {
  gtk_thread = g_thread_self();
  set_error_box(show_error_box);
}

}  // namespace calcora::desktop
