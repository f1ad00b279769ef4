// Decoding of JSON values into typed arguments and record fields. Failures throw
// DecodeError with a reason in the decoder's own words ("invalid type: string \"5\",
// expected i64", "missing field `sort_order`"); the dispatcher adds which command
// and key it belongs to.
#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>

#include "commands/json.h"
#include "common/errors.h"

namespace calcora {

// Describes a JSON value the way the reason texts name it: `string "5"`, `integer `7``.
std::string describe_json(const Json& value);
[[noreturn]] void throw_invalid_type(const Json& value, const char* expected);

template <typename T>
T decode_value(const Json& value);

template <>
int64_t decode_value<int64_t>(const Json& value);
template <>
int32_t decode_value<int32_t>(const Json& value);
template <>
double decode_value<double>(const Json& value);
template <>
bool decode_value<bool>(const Json& value);
template <>
std::string decode_value<std::string>(const Json& value);
template <>
Json decode_value<Json>(const Json& value);
// A file name: a string, read as UTF-8.
template <>
std::filesystem::path decode_value<std::filesystem::path>(const Json& value);

// Reads the fields of one record (a JSON object) with the record conventions:
// required keys, keys with a default, and optional keys where null and absent mean null.
class RecordReader {
 public:
  explicit RecordReader(const Json& value);

  template <typename T>
  T required(const char* key) const {
    auto it = object_.find(key);
    if (it == object_.end()) throw DecodeError(std::string("missing field `") + key + "`");
    return decode_value<T>(*it);
  }
  template <typename T>
  T with_default(const char* key, T fallback) const {
    auto it = object_.find(key);
    if (it == object_.end()) return fallback;
    return decode_value<T>(*it);
  }
  template <typename T>
  std::optional<T> optional(const char* key) const {
    auto it = object_.find(key);
    if (it == object_.end() || it->is_null()) return std::nullopt;
    return decode_value<T>(*it);
  }
  const Json& json() const { return object_; }

 private:
  const Json& object_;
};

// Writes an optional as the value or JSON null. (Non-finite reals become null only when the
// dispatcher encodes the answer; records that need it earlier use real_to_json.)
template <typename T>
Json to_json_or_null(const std::optional<T>& value) {
  return value ? Json(*value) : Json(nullptr);
}

}  // namespace calcora
