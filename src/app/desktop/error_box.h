// The modal error box of failed starts and faults, as a GTK dialog.
#pragma once

namespace calcora::desktop {

// Hands the fault hook a GTK error box; call once GTK is initialised.
void install_gtk_error_box();

}  // namespace calcora::desktop
