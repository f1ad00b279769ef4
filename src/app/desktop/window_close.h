// Closing the window: dismiss our open dialogs, give the page a bounded moment to finish its
// work (window.__calcoraBeforeClose), then destroy the window.
#pragma once

#include "app/desktop/shell.h"

namespace calcora::desktop {

// How long the page may take before the window closes anyway.
inline constexpr guint kBeforeCloseLimitMs = 3000;

void connect_window_close(Shell& shell);

}  // namespace calcora::desktop
