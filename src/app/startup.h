// The platform-free part of the start sequence, shared by the desktop program and the
// loopback host: open and migrate the database, seed an empty catalog, build AppState.
#pragma once

#include <filesystem>
#include <memory>

#include "commands/app_state.h"

namespace calcora {

// Raises a Fault whose text begins "база данных: " when the database cannot be opened.
// A seeding failure only writes "catalog seed warning: ..." to stderr.
std::unique_ptr<AppState> set_up_app_state(const std::filesystem::path& data_dir);

}  // namespace calcora
