#include "commands/dispatcher.h"

#include <algorithm>
#include <array>
#include <stdexcept>

namespace calcora {

namespace {

constexpr std::array<std::string_view, 32> kCommandNames = {
    "list_estimates",        "get_estimate",        "create_estimate",        "save_estimate",
    "delete_estimate",       "duplicate_estimate",  "export_estimate_xlsx",   "export_estimate_csv",
    "export_estimate_pdf",   "import_estimate_xlsx", "list_catalog",          "search_catalog",
    "save_catalog_item",     "get_catalog_item",    "delete_catalog_item",    "import_catalog_xlsx",
    "export_catalog_xlsx",   "merge_standard_catalog_cmd", "search_memory",   "save_to_global_memory",
    "import_all_data",       "export_estimate_clcx", "import_estimate_clcx",  "evaluate_formula_cmd",
    "export_all_data",       "open_external_url",   "proposal_publish",       "proposal_poll",
    "proposal_revoke",       "write_utf8",          "proposal_ticket_get",    "proposal_ticket_set",
};

bool is_known(std::string_view name) {
  return std::find(kCommandNames.begin(), kCommandNames.end(), name) != kCommandNames.end();
}

}  // namespace

std::span<const std::string_view> command_names() { return kCommandNames; }

void CommandRegistry::add(std::string_view name, CommandHandler handler) {
  if (!is_known(name)) throw std::logic_error("command not in the command table: " + std::string(name));
  handlers_[std::string(name)] = std::move(handler);
}

const CommandHandler* CommandRegistry::find(std::string_view name) const {
  auto it = handlers_.find(name);
  return it == handlers_.end() ? nullptr : &it->second;
}

Dispatcher::Dispatcher(AppState& state) : state_(state) { register_all_commands(registry_); }

CommandOutcome Dispatcher::dispatch_text(std::string_view command, std::string_view args_json) noexcept {
  try {
    Json args = args_json.empty() ? Json::object() : Json::parse(args_json);
    return dispatch(command, args);
  } catch (const Json::parse_error& e) {
    return {false, "invalid JSON arguments for command `" + std::string(command) + "`: " + e.what()};
  } catch (...) {
    return {false, "internal error"};
  }
}

CommandOutcome Dispatcher::dispatch(std::string_view command, const Json& args) noexcept {
  try {
    const CommandHandler* handler = registry_.find(command);
    if (!handler) {
      if (is_known(command)) return {false, "command `" + std::string(command) + "` is not available in this build"};
      return {false, "unknown command `" + std::string(command) + "`"};
    }
    if (!args.is_object())
      return {false, "invalid args for command `" + std::string(command) + "`: invalid type: " + describe_json(args) +
                         ", expected a map"};
    Json result = (*handler)(state_, Args(command, args));
    // Non-finite reals are written as null by the encoder; invalid UTF-8 in stored text is
    // replaced rather than failing the whole answer.
    return {true, result.dump(-1, ' ', false, Json::error_handler_t::replace)};
  } catch (const std::exception& e) {
    return {false, e.what()};
  } catch (...) {
    return {false, "internal error"};
  }
}

}  // namespace calcora
