// Routes one request (command name + JSON argument text) to its handler and turns the
// outcome into one JSON text or one error text. Nothing thrown inside a handler crosses
// this boundary.
#pragma once

#include <functional>
#include <map>
#include <span>
#include <string>
#include <string_view>

#include "commands/app_state.h"
#include "commands/args.h"
#include "commands/json.h"

namespace calcora {

using CommandHandler = std::function<Json(AppState&, const Args&)>;
// A handler that writes its answer's JSON text itself (see json_text.h): for answers too large
// to build as a document first. The text must be what dumping the document would give.
using TextCommandHandler = std::function<std::string(AppState&, const Args&)>;

// Every command the page may call, in the order of the page's command table.
std::span<const std::string_view> command_names();

class CommandRegistry {
 public:
  // Registers a handler; the name must be one of command_names().
  void add(std::string_view name, CommandHandler handler);
  void add_text(std::string_view name, TextCommandHandler handler);
  const TextCommandHandler* find(std::string_view name) const;

 private:
  std::map<std::string, TextCommandHandler, std::less<>> handlers_;
};

// Fills the registry with every command this build implements.
void register_all_commands(CommandRegistry& registry);

struct CommandOutcome {
  bool ok = false;
  std::string body;  // the result as JSON text, or the error text
};

class Dispatcher {
 public:
  explicit Dispatcher(AppState& state);
  // The argument object as JSON text, as both shells receive it.
  CommandOutcome dispatch_text(std::string_view command, std::string_view args_json) noexcept;
  CommandOutcome dispatch(std::string_view command, const Json& args) noexcept;

 private:
  AppState& state_;
  CommandRegistry registry_;
};

}  // namespace calcora
