#include "commands/dispatcher.h"

#include <algorithm>
#include <array>
#include <optional>
#include <stdexcept>

namespace calcora {

namespace {

constexpr std::array<std::string_view, 36> kCommandNames = {
    "list_estimates",        "get_estimate",        "create_estimate",        "save_estimate",
    "delete_estimate",       "duplicate_estimate",  "export_estimate_xlsx",   "export_estimate_csv",
    "export_estimate_pdf",   "import_estimate_xlsx", "list_catalog",          "search_catalog",
    "save_catalog_item",     "get_catalog_item",    "delete_catalog_item",    "import_catalog_xlsx",
    "export_catalog_xlsx",   "merge_standard_catalog_cmd", "search_memory",   "save_to_global_memory",
    "import_all_data",       "export_estimate_clcx", "import_estimate_clcx",  "evaluate_formula_cmd",
    "export_all_data",       "open_external_url",   "proposal_publish",       "proposal_poll",
    "proposal_revoke",       "write_utf8",          "proposal_ticket_get",    "proposal_ticket_set",
    "save_many_to_global_memory", "documents_folder",   "file_exists",     "check_backup_file",
};

bool is_known(std::string_view name) {
  return std::find(kCommandNames.begin(), kCommandNames.end(), name) != kCommandNames.end();
}

// A number beyond the range of a double ("1e400") stops the JSON reader, so no argument was
// decoded yet: read the text again, noting each top-level key, to name the argument it sits in,
// and word it like the other decoding failures.
std::string number_out_of_range_message(std::string_view command, std::string_view args_json,
                                        const std::string& reader_message) {
  std::optional<std::string> key;
  try {
    [[maybe_unused]] Json read = Json::parse(args_json, [&](int depth, Json::parse_event_t event, Json& parsed) {
      if (event == Json::parse_event_t::key && depth == 1) key = parsed.get<std::string>();
      return true;
    });
  } catch (const Json::exception&) {
    // Expected: the same number stops this reading too.
  }
  // The reader names the number's text between quotes: "number overflow parsing '1e400'".
  std::string number = "?";
  auto open = reader_message.find('\'');
  auto close = reader_message.rfind('\'');
  if (open != std::string::npos && close > open) number = reader_message.substr(open + 1, close - open - 1);
  std::string where = key ? "invalid args `" + *key + "` for command `" : "invalid args for command `";
  return where + std::string(command) + "`: invalid value: number `" + number + "` is out of range";
}

}  // namespace

std::span<const std::string_view> command_names() { return kCommandNames; }

void CommandRegistry::add(std::string_view name, CommandHandler handler) {
  add_text(name, [handler = std::move(handler)](AppState& state, const Args& args) {
    // Non-finite reals are written as null by the encoder; invalid UTF-8 in stored text is
    // replaced rather than failing the whole answer.
    return handler(state, args).dump(-1, ' ', false, Json::error_handler_t::replace);
  });
}

void CommandRegistry::add_text(std::string_view name, TextCommandHandler handler) {
  if (!is_known(name)) throw std::logic_error("command not in the command table: " + std::string(name));
  handlers_[std::string(name)] = std::move(handler);
}

const TextCommandHandler* CommandRegistry::find(std::string_view name) const {
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
  } catch (const Json::out_of_range& e) {
    return {false, number_out_of_range_message(command, args_json, e.what())};
  } catch (...) {
    return {false, "internal error"};
  }
}

CommandOutcome Dispatcher::dispatch(std::string_view command, const Json& args) noexcept {
  try {
    const TextCommandHandler* handler = registry_.find(command);
    if (!handler) {
      if (is_known(command)) return {false, "command `" + std::string(command) + "` is not available in this build"};
      return {false, "unknown command `" + std::string(command) + "`"};
    }
    if (!args.is_object())
      return {false, "invalid args for command `" + std::string(command) + "`: invalid type: " + describe_json(args) +
                         ", expected a map"};
    return {true, (*handler)(state_, Args(command, args))};
  } catch (const std::exception& e) {
    return {false, e.what()};
  } catch (...) {
    return {false, "internal error"};
  }
}

}  // namespace calcora
