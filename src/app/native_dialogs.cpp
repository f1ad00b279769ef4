#include "app/native_dialogs.h"

#include "commands/json.h"

namespace calcora {

namespace {

constexpr const char* kBadDialogRequest =
    "invalid dialog request: expected JSON text {\"kind\": \"alert\", \"confirm\", \"open\" or \"save\", "
    "\"message\" or \"title\", \"defaultName\", \"folder\", \"filters\"}";

std::string dialog_answer_text(const Json& value) { return value.dump(-1, ' ', false, Json::error_handler_t::replace); }

}  // namespace

std::optional<FileDialogRequest> parse_file_dialog_request(std::string_view json_text) {
  const Json j = Json::parse(json_text, nullptr, false);
  if (j.is_discarded() || !j.is_object()) return std::nullopt;
  FileDialogRequest r;
  const Json kind = j.value("kind", Json());
  if (kind == "save")
    r.save = true;
  else if (kind != "open")
    return std::nullopt;
  auto text = [&](const char* key, std::string& out) {
    if (!j.contains(key) || j[key].is_null()) return true;
    if (!j[key].is_string()) return false;
    out = j[key].get<std::string>();
    return true;
  };
  if (!text("title", r.title) || !text("defaultName", r.default_name) || !text("folder", r.folder)) return std::nullopt;
  if (j.contains("filters") && !j["filters"].is_null()) {
    if (!j["filters"].is_array()) return std::nullopt;
    for (const Json& f : j["filters"]) {
      if (!f.is_object() || !f.value("name", Json()).is_string() || !f.value("extensions", Json()).is_array())
        return std::nullopt;
      FileFilter filter{f["name"].get<std::string>(), {}};
      for (const Json& ext : f["extensions"]) {
        if (!ext.is_string()) return std::nullopt;
        filter.extensions.push_back(ext.get<std::string>());
      }
      r.filters.push_back(std::move(filter));
    }
  }
  return r;
}

CommandOutcome answer_dialog_request(NativeDialogs& dialogs, std::string_view request_text) {
  const Json j = Json::parse(request_text, nullptr, false);
  const Json kind = j.is_object() ? j.value("kind", Json()) : Json();
  if (kind == "alert" || kind == "confirm") {
    const Json message = j.value("message", Json());
    if (!message.is_string()) return {false, kBadDialogRequest};
    if (kind == "alert") {
      dialogs.message(message.get<std::string>());
      return {true, "null"};
    }
    return {true, dialogs.confirm(message.get<std::string>()) ? "true" : "false"};
  }
  const auto request = parse_file_dialog_request(request_text);
  if (!request) return {false, kBadDialogRequest};
  const auto path = dialogs.choose_file(*request);
  return {true, path ? dialog_answer_text(*path) : "null"};
}

}  // namespace calcora
