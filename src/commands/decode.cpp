#include "commands/decode.h"

#include <cmath>
#include <limits>

#include "common/utf8_path.h"

namespace calcora {

std::string describe_json(const Json& value) {
  switch (value.type()) {
    case Json::value_t::null: return "null";
    case Json::value_t::boolean: return std::string("boolean `") + (value.get<bool>() ? "true" : "false") + "`";
    case Json::value_t::number_integer: return "integer `" + std::to_string(value.get<int64_t>()) + "`";
    case Json::value_t::number_unsigned: return "integer `" + std::to_string(value.get<uint64_t>()) + "`";
    case Json::value_t::number_float: return "floating point `" + value.dump() + "`";
    case Json::value_t::string: return "string " + value.dump();
    case Json::value_t::array: return "sequence";
    case Json::value_t::object: return "map";
    default: return "value";
  }
}

void throw_invalid_type(const Json& value, const char* expected) {
  throw DecodeError("invalid type: " + describe_json(value) + ", expected " + expected);
}

template <>
int64_t decode_value<int64_t>(const Json& value) {
  if (value.is_number_integer() && !value.is_number_unsigned()) return value.get<int64_t>();
  if (value.is_number_unsigned()) {
    auto u = value.get<uint64_t>();
    if (u <= static_cast<uint64_t>(std::numeric_limits<int64_t>::max())) return static_cast<int64_t>(u);
    throw DecodeError("invalid value: integer `" + std::to_string(u) + "`, expected i64");
  }
  throw_invalid_type(value, "i64");
}

template <>
int32_t decode_value<int32_t>(const Json& value) {
  if (!value.is_number_integer()) throw_invalid_type(value, "i32");
  if (value.is_number_unsigned()) {
    auto u = value.get<uint64_t>();
    if (u > static_cast<uint64_t>(std::numeric_limits<int32_t>::max()))
      throw DecodeError("invalid value: integer `" + std::to_string(u) + "`, expected i32");
    return static_cast<int32_t>(u);
  }
  auto v = value.get<int64_t>();
  if (v < std::numeric_limits<int32_t>::min() || v > std::numeric_limits<int32_t>::max())
    throw DecodeError("invalid value: integer `" + std::to_string(v) + "`, expected i32");
  return static_cast<int32_t>(v);
}

template <>
double decode_value<double>(const Json& value) {
  if (!value.is_number()) throw_invalid_type(value, "f64");
  return value.get<double>();
}

template <>
bool decode_value<bool>(const Json& value) {
  if (!value.is_boolean()) throw_invalid_type(value, "a boolean");
  return value.get<bool>();
}

template <>
std::string decode_value<std::string>(const Json& value) {
  if (!value.is_string()) throw_invalid_type(value, "a string");
  return value.get<std::string>();
}

template <>
Json decode_value<Json>(const Json& value) {
  return value;
}

template <>
std::filesystem::path decode_value<std::filesystem::path>(const Json& value) {
  return utf8_path(decode_value<std::string>(value));
}

RecordReader::RecordReader(const Json& value) : object_(value) {
  if (!value.is_object()) throw_invalid_type(value, "a map");
}

}  // namespace calcora
