// Where the program keeps its files on this platform.
#pragma once

#include <filesystem>
#include <optional>

namespace calcora {

// $XDG_DATA_HOME/com.calcora.desktop, else ~/.local/share/com.calcora.desktop;
// nothing when neither XDG_DATA_HOME nor HOME is set.
std::optional<std::filesystem::path> app_data_dir();

// $LOCALAPPDATA, else $TEMP, joined with com.calcora.desktop/startup.log; nothing when
// neither is set (then no start-up log is written).
std::optional<std::filesystem::path> startup_log_path();

// Where save dialogs start the first time: the user's documents folder (~/Documents when it
// exists, else the home folder); nothing when HOME is not set.
std::optional<std::filesystem::path> documents_dir();

// The examples folder of catalog workbooks: the first of "examples", "../examples" and the
// project's own examples folder that exists (else "examples"), replaced by an "examples"
// entry beside the executable when there is one.
std::filesystem::path resolve_examples_dir();

// The same choice among the three candidates, without the folder beside the executable.
std::filesystem::path resolve_examples_candidate();

}  // namespace calcora
