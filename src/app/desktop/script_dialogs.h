// The page's window.alert and window.confirm as native GTK dialogs.
#pragma once

#include "app/desktop/shell.h"

namespace calcora::desktop {

void connect_script_dialogs(Shell& shell);

}  // namespace calcora::desktop
