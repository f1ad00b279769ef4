#include "app/desktop/script_dialogs.h"

namespace calcora::desktop {

namespace {

// One open message box. The page's script waits until the box is answered, so the answer is
// given exactly once: by the user, or as "cancel" when the window closes.
struct OpenBox {
  Shell* shell;
  WebKitScriptDialog* dialog;
  GtkWidget* box;
  int modal_id = 0;

  void finish(bool confirmed) {
    shell->modals.remove(modal_id);
    if (webkit_script_dialog_get_dialog_type(dialog) == WEBKIT_SCRIPT_DIALOG_CONFIRM)
      webkit_script_dialog_confirm_set_confirmed(dialog, confirmed);
    webkit_script_dialog_close(dialog);
    webkit_script_dialog_unref(dialog);
    gtk_widget_destroy(box);
    delete this;
  }
};

void on_box_response(GtkDialog*, gint response, gpointer data) {
  static_cast<OpenBox*>(data)->finish(response == GTK_RESPONSE_OK);
}

gboolean on_script_dialog(WebKitWebView*, WebKitScriptDialog* dialog, gpointer data) {
  auto& shell = *static_cast<Shell*>(data);
  const WebKitScriptDialogType type = webkit_script_dialog_get_dialog_type(dialog);
  // prompt() and the leave-page question keep WebKit's own dialogs; the page uses neither.
  if (type != WEBKIT_SCRIPT_DIALOG_ALERT && type != WEBKIT_SCRIPT_DIALOG_CONFIRM) return FALSE;
  const bool confirm = type == WEBKIT_SCRIPT_DIALOG_CONFIRM;
  if (shell.closing) {
    // Answered at once as cancelled, so the page's close work can go on.
    if (confirm) webkit_script_dialog_confirm_set_confirmed(dialog, FALSE);
    return TRUE;
  }
  GtkWidget* box =
      gtk_message_dialog_new(shell.window, GtkDialogFlags(GTK_DIALOG_MODAL | GTK_DIALOG_DESTROY_WITH_PARENT),
                             confirm ? GTK_MESSAGE_QUESTION : GTK_MESSAGE_INFO, GTK_BUTTONS_NONE, "%s",
                             webkit_script_dialog_get_message(dialog));
  gtk_window_set_title(GTK_WINDOW(box), "Calcora");
  if (confirm) gtk_dialog_add_button(GTK_DIALOG(box), "Отмена", GTK_RESPONSE_CANCEL);
  gtk_dialog_add_button(GTK_DIALOG(box), "OK", GTK_RESPONSE_OK);
  gtk_dialog_set_default_response(GTK_DIALOG(box), GTK_RESPONSE_OK);
  auto* open = new OpenBox{&shell, webkit_script_dialog_ref(dialog), box};
  open->modal_id = shell.modals.add([open] { open->finish(false); });
  g_signal_connect(box, "response", G_CALLBACK(on_box_response), open);
  gtk_widget_show(box);
  return TRUE;
}

}  // namespace

void connect_script_dialogs(Shell& shell) {
  g_signal_connect(shell.view, "script-dialog", G_CALLBACK(on_script_dialog), &shell);
}

}  // namespace calcora::desktop
