#include "app/desktop/shortcuts.h"

#include <gdk/gdkkeysyms.h>

#include "app/desktop/page_events.h"

namespace calcora::desktop {

namespace {

// Keycodes of the S and O keys on a standard keyboard (evdev codes + 8, as X11 and Wayland
// report them), for a keymap that has no Latin layout at all.
constexpr guint16 kKeycodeS = 39;
constexpr guint16 kKeycodeO = 32;

// Whether the pressed key is the one that carries `latin` in the Latin layout: by key value
// when a Latin layout is active, by the physical key when another one is (Ctrl+Ы is Ctrl+S).
bool is_key(const GdkEventKey* event, guint latin, guint16 standard_keycode) {
  if (gdk_keyval_to_lower(event->keyval) == latin) return true;
  GdkKeymap* keymap = gdk_keymap_get_for_display(gdk_window_get_display(event->window));
  GdkKeymapKey* keys = nullptr;
  gint count = 0;
  bool match = false;
  if (gdk_keymap_get_entries_for_keyval(keymap, latin, &keys, &count)) {
    for (gint i = 0; i < count; ++i) match = match || keys[i].keycode == event->hardware_keycode;
    g_free(keys);
    return match;
  }
  return event->hardware_keycode == standard_keycode;
}

gboolean on_key_press(GtkWidget*, GdkEventKey* event, gpointer data) {
  auto& shell = *static_cast<Shell*>(data);
  const guint mods = event->state & gtk_accelerator_get_default_mod_mask();
  if (!(mods & GDK_CONTROL_MASK) || (mods & GDK_MOD1_MASK)) return FALSE;
  const char* name = is_key(event, GDK_KEY_s, kKeycodeS)   ? "global-save"
                     : is_key(event, GDK_KEY_o, kKeycodeO) ? "global-open"
                                                           : nullptr;
  if (!name) return FALSE;
  emit_to_page(shell.view, name);
  return TRUE;  // the web view never sees it, so the page does not act twice
}

}  // namespace

void connect_shortcuts(Shell& shell) {
  // Connected to the window, this runs before the window hands the key to the web view.
  // Only presses: the release of Ctrl+S emits nothing.
  g_signal_connect(shell.window, "key-press-event", G_CALLBACK(on_key_press), &shell);
}

}  // namespace calcora::desktop
