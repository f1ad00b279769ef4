// The program's one window: the web view with the embedded page, its command channel,
// dialogs, shortcuts, file drops and the close hand-shake with the page.
#pragma once

#include <filesystem>

#include "app/desktop/shell.h"

namespace calcora::desktop {

// Builds the window around a web view whose local storage lives under `data_dir`, loads the
// page and shows it. The GTK main loop ends when the window has closed.
void open_main_window(Shell& shell, const std::filesystem::path& data_dir);

}  // namespace calcora::desktop
