// Windows the page opens for printing: `window.open()` of an empty document, into which the
// page writes what it prints (the commercial proposal). WebKitGTK opens nothing for
// window.open unless the view answers its `create` signal with a new related view.
#pragma once

#include <string_view>

#include "app/desktop/shell.h"

namespace calcora::desktop {

// The page may open a window only on an empty document that it then fills itself; a window
// on any address would show content the program does not control.
bool page_may_open_window_on(std::string_view uri);

// Lets the main view open such windows: each is its own top-level window kept on the blank
// document, with the view's print dialog, and closes by the user or by `window.close()`.
void connect_print_windows(Shell& shell);

}  // namespace calcora::desktop
