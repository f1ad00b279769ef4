// Faults that never reach the C++ terminate handler (a bad memory access, an abort) are caught
// by the platform's own mechanism and reported like any other fault: crash_handlers_linux.cpp
// (fatal signals), crash_handlers_windows.cpp (the unhandled-exception filter).
#pragma once

namespace calcora {

void install_crash_handlers();

}  // namespace calcora
