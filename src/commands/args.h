// The argument object of one command call, with the decoding messages the page sees:
// "command get_estimate missing required key id" and
// "invalid args `id` for command `get_estimate`: <reason>".
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "commands/decode.h"
#include "commands/json.h"
#include "common/errors.h"

namespace calcora {

class Args {
 public:
  Args(std::string_view command, const Json& object) : command_(command), object_(object) {}

  // A required argument; T may be a record type with a decode_value specialisation.
  template <typename T>
  T required(const char* key) const {
    auto it = object_.find(key);
    if (it == object_.end())
      throw CommandError("command " + std::string(command_) + " missing required key " + key);
    return decode_at<T>(key, *it);
  }

  // An argument that may be null: a missing key and JSON null both give nullopt.
  template <typename T>
  std::optional<T> optional(const char* key) const {
    auto it = object_.find(key);
    if (it == object_.end() || it->is_null()) return std::nullopt;
    return decode_at<T>(key, *it);
  }

  std::string_view command() const { return command_; }
  const Json& json() const { return object_; }

 private:
  template <typename T>
  T decode_at(const char* key, const Json& value) const {
    try {
      return decode_value<T>(value);
    } catch (const DecodeError& e) {
      throw CommandError("invalid args `" + std::string(key) + "` for command `" + std::string(command_) +
                         "`: " + e.what());
    }
  }

  std::string_view command_;
  const Json& object_;
};

}  // namespace calcora
