// Registers documents_folder and file_exists: what the page's save flows need to start a save
// dialog in a sensible folder and to ask before a file is replaced.
#include <filesystem>
#include <system_error>

#include "app/paths.h"
#include "commands/dispatcher.h"
#include "commands/registration.h"
#include "common/utf8_path.h"

namespace calcora {

void register_save_place_commands(CommandRegistry& registry) {
  registry.add("documents_folder", [](AppState&, const Args&) -> Json {
    auto dir = documents_dir();
    return dir ? Json(path_utf8(*dir)) : Json(nullptr);
  });
  registry.add("file_exists", [](AppState&, const Args& args) -> Json {
    const auto path = args.required<std::filesystem::path>("path");
    std::error_code ec;
    // A folder of that name is "there" too: writing the file would fail on it just the same.
    return std::filesystem::exists(path, ec);
  });
}

}  // namespace calcora
