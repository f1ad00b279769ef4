// Arbitrary argument objects against every command of the table. The first byte picks
// the command, the rest is the argument text. Paths are redirected into a scratch folder
// and the outside world is unreachable, so no input can touch the machine's files or the
// network.
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>

#include "commands/dispatcher.h"

namespace {

struct Harness {
  std::filesystem::path scratch;
  std::unique_ptr<calcora::AppState> state;
  std::unique_ptr<calcora::Dispatcher> dispatcher;

  Harness() {
    scratch = std::filesystem::temp_directory_path() / ("calcora-fuzz-" + std::to_string(getpid()));
    std::filesystem::create_directories(scratch);
    setenv("PATH", "/nonexistent", 1);                     // no browser can start
    setenv("CALCORA_SITE_URL", "http://127.0.0.1:9", 1);  // discard port: refused at once
    state = std::make_unique<calcora::AppState>(scratch / "calcora.db",
                                                calcora::Database::open(scratch / "calcora.db"), scratch / "examples");
    dispatcher = std::make_unique<calcora::Dispatcher>(*state);
  }
};

// Keeps every string argument that names a file inside the scratch folder.
void confine_paths(calcora::Json& args, const std::filesystem::path& scratch) {
  if (!args.is_object()) return;
  for (auto& [key, value] : args.items())
    if (key == "path" && value.is_string()) value = (scratch / "file").string();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static Harness harness;
  if (size == 0) return 0;
  auto names = calcora::command_names();
  const std::string_view command = names[data[0] % names.size()];
  const std::string_view text(reinterpret_cast<const char*>(data + 1), size - 1);
  calcora::Json args = calcora::Json::parse(text, nullptr, /*allow_exceptions=*/false);
  if (args.is_discarded()) {
    harness.dispatcher->dispatch_text(command, text);
    return 0;
  }
  confine_paths(args, harness.scratch);
  harness.dispatcher->dispatch(command, args);
  return 0;
}
