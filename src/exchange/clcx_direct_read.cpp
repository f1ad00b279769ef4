#include "exchange/clcx_direct_read.h"

#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <limits>
#include <string_view>

#include "common/utf8.h"
#include "exchange/clcx_file.h"

namespace calcora {

namespace {

// Thrown on anything outside the expected shape; the document reading takes over.
struct Unexpected {};

[[noreturn]] void unexpected() { throw Unexpected{}; }

// A number as the JSON library holds it: non-negative integers unsigned, negative ones signed,
// anything with a fraction or an exponent as a double.
struct Number {
  enum Kind { kUnsigned, kSigned, kReal } kind = kReal;
  uint64_t u = 0;
  int64_t i = 0;
  double d = 0;
};

// Unknown members are skipped however they nest, but only this deep: deeper content goes to the
// document reading, which does not recurse.
constexpr int kMaxSkipDepth = 64;

// The grammar accepted is the JSON the library accepts, or less: whitespace of space, tab, CR and
// LF only, no byte order mark, no comments, strings of well-formed UTF-8 without raw control
// characters, numbers without leading zeros, nothing after the top object.
class Scanner {
 public:
  explicit Scanner(const std::string& text) : p_(text.data()), end_(text.data() + text.size()) {}

  bool at_end() {
    skip_whitespace();
    return p_ == end_;
  }

  bool consume(char c) {
    skip_whitespace();
    if (p_ == end_ || *p_ != c) return false;
    ++p_;
    return true;
  }
  void expect(char c) {
    if (!consume(c)) unexpected();
  }

  // Calls member(key) for each member of an object; member must read or skip the value. The key
  // is valid until the next read.
  template <typename F>
  void object(F&& member) {
    expect('{');
    if (consume('}')) return;
    do {
      const std::string_view key = key_text();
      expect(':');
      member(key);
    } while (consume(','));
    expect('}');
  }

  // Calls element() for each element of an array; element must read or skip it.
  template <typename F>
  void array(F&& element) {
    expect('[');
    if (consume(']')) return;
    do element();
    while (consume(','));
    expect(']');
  }

  // Consumes a null literal if one is next.
  bool null() {
    skip_whitespace();
    if (end_ - p_ >= 4 && std::string_view(p_, 4) == "null") {
      p_ += 4;
      return true;
    }
    return false;
  }

  bool boolean() {
    skip_whitespace();
    if (end_ - p_ >= 4 && std::string_view(p_, 4) == "true") {
      p_ += 4;
      return true;
    }
    if (end_ - p_ >= 5 && std::string_view(p_, 5) == "false") {
      p_ += 5;
      return false;
    }
    unexpected();
  }

  void text(std::string& out) {
    skip_whitespace();
    if (p_ == end_ || *p_ != '"') unexpected();
    ++p_;
    out.clear();
    read_string_body(out);
  }

  Number number() {
    skip_whitespace();
    const char* start = p_;
    const bool negative = p_ != end_ && *p_ == '-';
    if (negative) ++p_;
    if (p_ == end_ || !is_digit(*p_)) unexpected();
    uint64_t magnitude = 0;
    bool overflow = false;
    if (*p_ == '0') {
      ++p_;  // a leading zero ends the integer part; a digit after it fails as what follows
    } else {
      for (; p_ != end_ && is_digit(*p_); ++p_) {
        const unsigned digit = static_cast<unsigned>(*p_ - '0');
        if (magnitude > (std::numeric_limits<uint64_t>::max() - digit) / 10) overflow = true;
        magnitude = magnitude * 10 + digit;
      }
    }
    bool real = false;
    if (p_ != end_ && *p_ == '.') {
      ++p_;
      digits();
      real = true;
    }
    if (p_ != end_ && (*p_ == 'e' || *p_ == 'E')) {
      ++p_;
      if (p_ != end_ && (*p_ == '+' || *p_ == '-')) ++p_;
      digits();
      real = true;
    }
    Number n;
    if (!real) {
      // Integers beyond 64 bits become doubles in the document; rare enough to leave to it.
      if (overflow) unexpected();
      if (!negative) {
        n.kind = Number::kUnsigned;
        n.u = magnitude;
        return n;
      }
      if (magnitude > uint64_t{1} << 63) unexpected();
      n.kind = Number::kSigned;
      n.i = static_cast<int64_t>(0 - magnitude);
      return n;
    }
    // The library converts the same characters with strtod; the text is NUL-terminated and the
    // number is followed by a character strtod stops at. A decimal comma locale stops it early.
    char* stop = nullptr;
    n.kind = Number::kReal;
    n.d = std::strtod(start, &stop);
    if (stop != p_ || !std::isfinite(n.d)) unexpected();
    return n;
  }

  int64_t int64() {
    const Number n = number();
    if (n.kind == Number::kSigned) return n.i;
    if (n.kind == Number::kUnsigned && n.u <= uint64_t(std::numeric_limits<int64_t>::max()))
      return static_cast<int64_t>(n.u);
    unexpected();
  }

  int32_t int32() {
    const Number n = number();
    if (n.kind == Number::kUnsigned && n.u <= uint64_t(std::numeric_limits<int32_t>::max()))
      return static_cast<int32_t>(n.u);
    if (n.kind == Number::kSigned && n.i >= std::numeric_limits<int32_t>::min()) return static_cast<int32_t>(n.i);
    unexpected();
  }

  double real() {
    const Number n = number();
    switch (n.kind) {
      case Number::kUnsigned: return static_cast<double>(n.u);
      case Number::kSigned: return static_cast<double>(n.i);
      case Number::kReal: return n.d;
    }
    unexpected();
  }

  std::optional<int64_t> optional_int64() {
    if (null()) return std::nullopt;
    return int64();
  }
  std::optional<double> optional_real() {
    if (null()) return std::nullopt;
    return real();
  }
  void optional_text(std::optional<std::string>& out) {
    if (null()) {
      out.reset();
      return;
    }
    if (!out) out.emplace();
    text(*out);
  }

  // Any value, checked as strictly as the ones read.
  void skip_value(int depth = 0) {
    if (depth > kMaxSkipDepth) unexpected();
    skip_whitespace();
    if (p_ == end_) unexpected();
    switch (*p_) {
      case '{': object([&](std::string_view) { skip_value(depth + 1); }); return;
      case '[': array([&] { skip_value(depth + 1); }); return;
      case '"': text(scratch_); return;
      case 't':
      case 'f': boolean(); return;
      case 'n':
        if (!null()) unexpected();
        return;
      default: number(); return;
    }
  }

 private:
  static bool is_digit(char c) { return c >= '0' && c <= '9'; }

  void skip_whitespace() {
    while (p_ != end_ && (*p_ == ' ' || *p_ == '\n' || *p_ == '\r' || *p_ == '\t')) ++p_;
  }

  void digits() {
    if (p_ == end_ || !is_digit(*p_)) unexpected();
    while (p_ != end_ && is_digit(*p_)) ++p_;
  }

  // A member's name: a view into the text when it has no escapes, else unescaped into key_.
  std::string_view key_text() {
    skip_whitespace();
    if (p_ == end_ || *p_ != '"') unexpected();
    const char* start = ++p_;
    const char* stop = plain_run_end();
    if (stop != end_ && *stop == '"') {
      const std::string_view key(start, static_cast<size_t>(stop - start));
      if (!is_valid_utf8(key)) unexpected();
      p_ = stop + 1;
      return key;
    }
    key_.clear();
    read_string_body(key_);
    return key_;
  }

  // Where the run of bytes that stand for themselves ends: at a quote, a backslash, a control
  // character or the end of the text.
  const char* plain_run_end() const {
    const char* q = p_;
    while (q != end_ && *q != '"' && *q != '\\' && static_cast<unsigned char>(*q) >= 0x20) ++q;
    return q;
  }

  // The rest of a string after its opening quote, appended to out. Runs are checked as UTF-8
  // one by one: they break only at ASCII characters, which cannot fall inside a sequence.
  void read_string_body(std::string& out) {
    for (;;) {
      const char* stop = plain_run_end();
      const std::string_view run(p_, static_cast<size_t>(stop - p_));
      if (!is_valid_utf8(run)) unexpected();
      out.append(run);
      p_ = stop;
      if (p_ == end_) unexpected();
      if (*p_ == '"') {
        ++p_;
        return;
      }
      if (*p_ != '\\') unexpected();  // a raw control character
      ++p_;
      escape(out);
    }
  }

  void escape(std::string& out) {
    if (p_ == end_) unexpected();
    switch (*p_++) {
      case '"': out += '"'; return;
      case '\\': out += '\\'; return;
      case '/': out += '/'; return;
      case 'b': out += '\b'; return;
      case 'f': out += '\f'; return;
      case 'n': out += '\n'; return;
      case 'r': out += '\r'; return;
      case 't': out += '\t'; return;
      case 'u': break;
      default: unexpected();
    }
    uint32_t code = hex4();
    if (code >= 0xD800 && code <= 0xDBFF) {
      // A high surrogate must be followed by an escaped low one; together they name one character.
      if (end_ - p_ < 2 || p_[0] != '\\' || p_[1] != 'u') unexpected();
      p_ += 2;
      const uint32_t low = hex4();
      if (low < 0xDC00 || low > 0xDFFF) unexpected();
      code = 0x10000 + ((code - 0xD800) << 10) + (low - 0xDC00);
    } else if (code >= 0xDC00 && code <= 0xDFFF) {
      unexpected();
    }
    append_utf8(code, out);
  }

  uint32_t hex4() {
    if (end_ - p_ < 4) unexpected();
    uint32_t code = 0;
    for (int k = 0; k < 4; ++k) {
      const char c = *p_++;
      uint32_t digit;
      if (c >= '0' && c <= '9')
        digit = static_cast<uint32_t>(c - '0');
      else if (c >= 'a' && c <= 'f')
        digit = static_cast<uint32_t>(c - 'a' + 10);
      else if (c >= 'A' && c <= 'F')
        digit = static_cast<uint32_t>(c - 'A' + 10);
      else
        unexpected();
      code = code << 4 | digit;
    }
    return code;
  }

  static void append_utf8(uint32_t code, std::string& out) {
    if (code < 0x80) {
      out += static_cast<char>(code);
    } else if (code < 0x800) {
      out += static_cast<char>(0xC0 | (code >> 6));
      out += static_cast<char>(0x80 | (code & 0x3F));
    } else if (code < 0x10000) {
      out += static_cast<char>(0xE0 | (code >> 12));
      out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
      out += static_cast<char>(0x80 | (code & 0x3F));
    } else {
      out += static_cast<char>(0xF0 | (code >> 18));
      out += static_cast<char>(0x80 | ((code >> 12) & 0x3F));
      out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
      out += static_cast<char>(0x80 | (code & 0x3F));
    }
  }

  const char* p_;
  const char* const end_;
  std::string key_;
  std::string scratch_;
};

// Marks required members as they come; a repeated top-level member is left to the document,
// which keeps the last one whole.
class Seen {
 public:
  void mark(unsigned bit) { bits_ |= bit; }
  void mark_once(unsigned bit) {
    if (bits_ & bit) unexpected();
    bits_ |= bit;
  }
  void require(unsigned all) const {
    if ((bits_ & all) != all) unexpected();
  }

 private:
  unsigned bits_ = 0;
};

void read_metadata(Scanner& in, ImportedEstimate& out) {
  std::string ignored;
  Seen seen;
  in.object([&](std::string_view key) {
    if (key == "object_name") {
      in.text(out.object_name);
      seen.mark(1);
    } else if (key == "created_at") {
      in.text(ignored);
      seen.mark(2);
    } else if (key == "updated_at") {
      in.text(ignored);
      seen.mark(4);
    } else if (key == "customer") {
      if (!in.null()) in.text(ignored);
    } else if (key == "mode") {
      std::optional<std::string> mode;
      in.optional_text(mode);
      out.mode = mode.value_or(ImportedEstimate{}.mode);
    } else if (key == "mode_mask_json") {
      in.optional_text(out.mode_mask_json);
    } else if (key == "calc_params_json") {
      in.optional_text(out.calc_params_json);
    } else {
      in.skip_value();
    }
  });
  seen.require(7);
}

void read_columns(Scanner& in) {
  std::string ignored;
  in.array([&] {
    Seen seen;
    in.object([&](std::string_view key) {
      if (key == "id") {
        in.text(ignored);
        seen.mark(1);
      } else if (key == "title") {
        in.text(ignored);
        seen.mark(2);
      } else if (key == "kind") {
        in.text(ignored);
        seen.mark(4);
      } else {
        in.skip_value();
      }
    });
    seen.require(7);
  });
}

// One line with the record rules: estimate_id, sort_order, line_type and name required; name_bold
// and category with their defaults when absent (null is a type error); the rest null when absent.
// A repeated member overwrites the earlier one, as in the document.
void read_line(Scanner& in, EstimateLine& l) {
  Seen seen;
  in.object([&](std::string_view key) {
    if (key == "id") {
      l.id = in.optional_int64();
    } else if (key == "estimate_id") {
      l.estimate_id = in.int64();
      seen.mark(1);
    } else if (key == "sort_order") {
      l.sort_order = in.int32();
      seen.mark(2);
    } else if (key == "line_type") {
      in.text(l.line_type);
      seen.mark(4);
    } else if (key == "name") {
      in.text(l.name);
      seen.mark(8);
    } else if (key == "unit") {
      in.optional_text(l.unit);
    } else if (key == "quantity") {
      l.quantity = in.optional_real();
    } else if (key == "unit_price") {
      l.unit_price = in.optional_real();
    } else if (key == "fixed_total") {
      l.fixed_total = in.optional_real();
    } else if (key == "catalog_item_id") {
      l.catalog_item_id = in.optional_int64();
    } else if (key == "name_bold") {
      l.name_bold = in.boolean();
    } else if (key == "category") {
      in.text(l.category);
    } else if (key == "format_json") {
      in.optional_text(l.format_json);
    } else if (key == "sku") {
      in.optional_text(l.sku);
    } else if (key == "cost_price") {
      l.cost_price = in.optional_real();
    } else if (key == "formula") {
      in.optional_text(l.formula);
    } else {
      in.skip_value();
    }
  });
  seen.require(15);
}

void read_footer(Scanner& in, EstimateFooter& f) {
  Seen seen;
  in.object([&](std::string_view key) {
    if (key == "estimate_id") {
      f.estimate_id = in.int64();
      seen.mark(1);
    } else if (key == "materials") {
      f.materials = in.real();
      seen.mark(2);
    } else if (key == "delivery") {
      f.delivery = in.real();
      seen.mark(4);
    } else if (key == "advance") {
      f.advance = in.real();
      seen.mark(8);
    } else if (key == "show_materials") {
      f.show_materials = in.boolean();
      seen.mark(16);
    } else if (key == "show_delivery") {
      f.show_delivery = in.boolean();
      seen.mark(32);
    } else if (key == "show_advance") {
      f.show_advance = in.boolean();
      seen.mark(64);
    } else if (key == "markup_formula") {
      in.optional_text(f.markup_formula);
    } else if (key == "extras_json") {
      in.optional_text(f.extras_json);
    } else {
      in.skip_value();
    }
  });
  seen.require(127);
}

ImportedEstimate read_file(Scanner& in) {
  ImportedEstimate out;
  Seen seen;
  in.object([&](std::string_view key) {
    if (key == "version") {
      seen.mark_once(1);
      const Number v = in.number();
      if (v.kind != Number::kUnsigned || v.u > kClcxVersionSupported) unexpected();
    } else if (key == "metadata") {
      seen.mark_once(2);
      read_metadata(in, out);
    } else if (key == "columns_template") {
      seen.mark_once(4);
      read_columns(in);
    } else if (key == "rows") {
      seen.mark_once(8);
      in.array([&] { read_line(in, out.lines.emplace_back()); });
    } else if (key == "footer") {
      seen.mark_once(16);
      read_footer(in, out.footer);
    } else {
      in.skip_value();
    }
  });
  if (!in.at_end()) unexpected();
  seen.require(31);
  return out;
}

}  // namespace

std::optional<ImportedEstimate> read_clcx_directly(const std::string& json_text) {
  try {
    Scanner in(json_text);
    return read_file(in);
  } catch (const Unexpected&) {
    return std::nullopt;
  }
}

}  // namespace calcora
