// Ctrl+S and Ctrl+O while the window has the focus. Only this window's keys are taken: a
// system-wide grab would steal Ctrl+S from every other program on the desktop.
#pragma once

#include "app/desktop/shell.h"

namespace calcora::desktop {

void connect_shortcuts(Shell& shell);

}  // namespace calcora::desktop
