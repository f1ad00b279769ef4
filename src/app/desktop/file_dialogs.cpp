#include "app/desktop/file_dialogs.h"

#include <cctype>
#include <string_view>

namespace calcora::desktop {

namespace {

constexpr const char* kBadDialogRequest =
    "invalid dialog request: expected JSON text {\"kind\": \"open\" or \"save\", \"title\", \"defaultName\", "
    "\"folder\", \"filters\"}";
constexpr const char* kBusy = "уже открыт другой диалог выбора файла";

// "*.xlsx" matches "A.XLSX" too: GTK's patterns are case-sensitive, file names from Windows are often not.
std::string any_case_pattern(const std::string& extension) {
  std::string pattern = "*.";
  std::string_view bare = extension;
  while (!bare.empty() && bare.front() == '.') bare.remove_prefix(1);  // ".xlsx" and "xlsx" alike
  for (unsigned char c : bare) {
    if (std::isalpha(c) && c < 0x80) {
      pattern += '[';
      pattern += static_cast<char>(std::tolower(c));
      pattern += static_cast<char>(std::toupper(c));
      pattern += ']';
    } else if (c == '*' || c == '?' || c == '[' || c == ']') {
      pattern += '[';
      pattern += static_cast<char>(c);
      pattern += ']';
    } else {
      pattern += static_cast<char>(c);
    }
  }
  return pattern;
}

// One open chooser: answers its page request exactly once, whether the user picks, cancels
// or the window dismisses it on closing.
struct OpenChooser {
  Shell* shell;
  GtkFileChooserNative* chooser;
  WebKitScriptMessageReply* reply;
  JSCContext* js;
  int modal_id = 0;

  void answer(const std::optional<std::string>& path) {
    const std::string text = path ? Json(*path).dump(-1, ' ', false, Json::error_handler_t::replace) : "null";
    JSCValue* value = jsc_value_new_string(js, text.c_str());
    webkit_script_message_reply_return_value(reply, value);
    g_object_unref(value);
  }

  void finish(const std::optional<std::string>& path) {
    shell->modals.remove(modal_id);
    answer(path);
    gtk_native_dialog_destroy(GTK_NATIVE_DIALOG(chooser));
    g_object_unref(chooser);
    webkit_script_message_reply_unref(reply);
    g_object_unref(js);
    delete this;
  }
};

bool chooser_open = false;

void on_chooser_response(GtkNativeDialog*, gint response, gpointer data) {
  auto* open = static_cast<OpenChooser*>(data);
  std::optional<std::string> path;
  if (response == GTK_RESPONSE_ACCEPT) {
    // Only a local file can be handed to the file commands; anything else counts as cancelled.
    if (char* file = gtk_file_chooser_get_filename(GTK_FILE_CHOOSER(open->chooser))) {
      path = file;
      g_free(file);
    }
  }
  chooser_open = false;
  open->finish(path);
}

GtkFileChooserNative* build_chooser(GtkWindow* parent, const FileDialogRequest& request) {
  const char* title = !request.title.empty() ? request.title.c_str() : request.save ? "Сохранить файл" : "Открыть файл";
  GtkFileChooserNative* chooser = gtk_file_chooser_native_new(
      title, parent, request.save ? GTK_FILE_CHOOSER_ACTION_SAVE : GTK_FILE_CHOOSER_ACTION_OPEN,
      request.save ? "_Сохранить" : "_Открыть", "_Отмена");
  gtk_native_dialog_set_modal(GTK_NATIVE_DIALOG(chooser), TRUE);
  auto* files = GTK_FILE_CHOOSER(chooser);
  if (request.save) {
    gtk_file_chooser_set_do_overwrite_confirmation(files, TRUE);
    if (!request.folder.empty()) gtk_file_chooser_set_current_folder(files, request.folder.c_str());
    if (!request.default_name.empty()) gtk_file_chooser_set_current_name(files, request.default_name.c_str());
  }
  for (const FileFilter& f : request.filters) {
    GtkFileFilter* filter = gtk_file_filter_new();
    gtk_file_filter_set_name(filter, f.name.c_str());
    for (const std::string& ext : f.extensions) gtk_file_filter_add_pattern(filter, any_case_pattern(ext).c_str());
    if (f.extensions.empty()) gtk_file_filter_add_pattern(filter, "*");
    gtk_file_chooser_add_filter(files, filter);  // takes the floating reference
  }
  return chooser;
}

gboolean on_dialog_request(WebKitUserContentManager*, JSCValue* value, WebKitScriptMessageReply* reply, gpointer data) {
  auto& shell = *static_cast<Shell*>(data);
  std::optional<FileDialogRequest> request;
  if (jsc_value_is_string(value)) {
    char* text = jsc_value_to_string(value);
    request = parse_file_dialog_request(text);
    g_free(text);
  }
  if (!request) {
    webkit_script_message_reply_return_error_message(reply, kBadDialogRequest);
    return TRUE;
  }
  if (shell.closing) {
    JSCValue* cancelled = jsc_value_new_string(jsc_value_get_context(value), "null");
    webkit_script_message_reply_return_value(reply, cancelled);
    g_object_unref(cancelled);
    return TRUE;
  }
  if (chooser_open) {
    webkit_script_message_reply_return_error_message(reply, kBusy);
    return TRUE;
  }
  auto* open = new OpenChooser{&shell, build_chooser(shell.window, *request), webkit_script_message_reply_ref(reply),
                               JSC_CONTEXT(g_object_ref(jsc_value_get_context(value)))};
  chooser_open = true;
  open->modal_id = shell.modals.add([open] {
    chooser_open = false;
    gtk_native_dialog_hide(GTK_NATIVE_DIALOG(open->chooser));
    open->finish(std::nullopt);
  });
  g_signal_connect(open->chooser, "response", G_CALLBACK(on_chooser_response), open);
  gtk_native_dialog_show(GTK_NATIVE_DIALOG(open->chooser));
  return TRUE;
}

}  // namespace

void connect_file_dialogs(Shell& shell, WebKitUserContentManager* content) {
  webkit_user_content_manager_register_script_message_handler_with_reply(content, "calcoraDialog", nullptr);
  g_signal_connect(content, "script-message-with-reply-received::calcoraDialog", G_CALLBACK(on_dialog_request), &shell);
}

}  // namespace calcora::desktop
