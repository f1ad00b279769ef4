// Writes a command's answer as JSON text directly, value by value, for answers too large to
// build as a JSON document first (the whole catalog). Each value goes through the library's own
// serializer, so the text is byte for byte what Json::dump with the dispatcher's settings gives:
// the same number forms, null for non-finite reals, and invalid UTF-8 replaced.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <type_traits>

#include "commands/json.h"
#include "common/utf8.h"

namespace calcora {

class JsonTextWriter {
 public:
  explicit JsonTextWriter(std::string& out)
      : out_(out),
        serializer_(nlohmann::detail::output_adapter<char>(out), ' ', Json::error_handler_t::replace) {}

  // Punctuation and keys known to need no escaping: `{"id":`, `,`, `]`.
  JsonTextWriter& raw(std::string_view text) {
    out_.append(text);
    return *this;
  }
  JsonTextWriter& string(std::string_view text) {
    if (written_as_is(text)) {
      out_ += '"';
      out_.append(text);
      out_ += '"';
      return *this;
    }
    text_.get_ref<std::string&>().assign(text);
    serializer_.dump(text_, false, false, 0);
    return *this;
  }
  JsonTextWriter& real(double value) {
    real_ = value;
    serializer_.dump(real_, false, false, 0);
    return *this;
  }
  JsonTextWriter& integer(int64_t value) {
    integer_ = value;
    serializer_.dump(integer_, false, false, 0);
    return *this;
  }
  JsonTextWriter& null() { return raw("null"); }

  template <typename T>
  JsonTextWriter& optional(const std::optional<T>& value) {
    if (!value) return null();
    if constexpr (std::is_floating_point_v<T>)
      return real(*value);
    else if constexpr (std::is_integral_v<T>)
      return integer(*value);
    else
      return string(*value);
  }

 private:
  // Text the serializer writes unchanged between quotes: well-formed UTF-8 without quotes,
  // backslashes or control characters (it leaves DEL and all other characters as they are).
  static bool written_as_is(std::string_view text) {
    for (char c : text)
      if (static_cast<unsigned char>(c) < 0x20 || c == '"' || c == '\\') return false;
    return is_valid_utf8(text);
  }

  std::string& out_;
  nlohmann::detail::serializer<Json> serializer_;
  Json text_ = std::string();
  Json real_ = 0.0;
  Json integer_ = int64_t{0};
};

}  // namespace calcora
