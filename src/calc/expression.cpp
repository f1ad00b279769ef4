// Recursive-descent evaluation of markup expressions. Values are computed while
// parsing; an evaluation error (unknown name, wrong number of arguments) is
// remembered and reported only when the whole text has parsed, so a syntax
// error always wins over it.
#include "calc/expression.h"

#include <charconv>
#include <cmath>
#include <numbers>
#include <optional>
#include <vector>

#include "common/ascii.h"

namespace calcora {

namespace {

struct SyntaxError {
  std::string message;
};

bool is_space(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\f' || c == '\v'; }
bool is_ident_start(char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || c == '_'; }
bool is_ident_char(char c) { return is_ident_start(c) || is_ascii_digit(c); }

double signum(double x) {
  if (std::isnan(x)) return x;
  return x > 0 ? 1.0 : (x < 0 ? -1.0 : 0.0);
}

// Arity: a fixed count, or -1 for "one or more".
struct Function {
  const char* name;
  int arity;
  double (*apply)(const std::vector<double>&);
};

// clang-format off
const Function kFunctions[] = {
    {"sqrt", 1, [](const std::vector<double>& a) { return std::sqrt(a[0]); }},
    {"exp", 1, [](const std::vector<double>& a) { return std::exp(a[0]); }},
    {"ln", 1, [](const std::vector<double>& a) { return std::log(a[0]); }},
    {"abs", 1, [](const std::vector<double>& a) { return std::fabs(a[0]); }},
    {"sin", 1, [](const std::vector<double>& a) { return std::sin(a[0]); }},
    {"cos", 1, [](const std::vector<double>& a) { return std::cos(a[0]); }},
    {"tan", 1, [](const std::vector<double>& a) { return std::tan(a[0]); }},
    {"asin", 1, [](const std::vector<double>& a) { return std::asin(a[0]); }},
    {"acos", 1, [](const std::vector<double>& a) { return std::acos(a[0]); }},
    {"atan", 1, [](const std::vector<double>& a) { return std::atan(a[0]); }},
    {"sinh", 1, [](const std::vector<double>& a) { return std::sinh(a[0]); }},
    {"cosh", 1, [](const std::vector<double>& a) { return std::cosh(a[0]); }},
    {"tanh", 1, [](const std::vector<double>& a) { return std::tanh(a[0]); }},
    {"asinh", 1, [](const std::vector<double>& a) { return std::asinh(a[0]); }},
    {"acosh", 1, [](const std::vector<double>& a) { return std::acosh(a[0]); }},
    {"atanh", 1, [](const std::vector<double>& a) { return std::atanh(a[0]); }},
    {"floor", 1, [](const std::vector<double>& a) { return std::floor(a[0]); }},
    {"ceil", 1, [](const std::vector<double>& a) { return std::ceil(a[0]); }},
    {"round", 1, [](const std::vector<double>& a) { return std::round(a[0]); }},  // half away from zero
    {"signum", 1, [](const std::vector<double>& a) { return signum(a[0]); }},
    {"atan2", 2, [](const std::vector<double>& a) { return std::atan2(a[0], a[1]); }},
    {"max", -1, [](const std::vector<double>& a) {
       double m = a[0];
       for (double x : a) m = std::fmax(m, x);
       return m;
     }},
    {"min", -1, [](const std::vector<double>& a) {
       double m = a[0];
       for (double x : a) m = std::fmin(m, x);
       return m;
     }},
};
// clang-format on

const Function* find_function(std::string_view name) {
  for (const auto& f : kFunctions)
    if (name == f.name) return &f;
  return nullptr;
}

class Evaluator {
 public:
  Evaluator(std::string_view text, const VariableMap& variables) : text_(text), variables_(variables) {}

  EvalOutcome run() {
    try {
      double value = parse_sum();
      skip_space();
      if (pos_ < text_.size()) unexpected();
      if (eval_error_) return {false, 0, *eval_error_};
      return {true, value, {}};
    } catch (const SyntaxError& e) {
      return {false, 0, e.message};
    }
  }

 private:
  void skip_space() {
    while (pos_ < text_.size() && is_space(text_[pos_])) ++pos_;
  }
  // The next non-blank character, or '\0' at the end.
  char peek() {
    skip_space();
    return pos_ < text_.size() ? text_[pos_] : '\0';
  }
  [[noreturn]] void unexpected() {
    if (pos_ >= text_.size()) throw SyntaxError{"Unexpected end of expression."};
    throw SyntaxError{"Unexpected token at byte " + std::to_string(pos_) + "."};
  }
  void fail_evaluation(std::string message) {
    if (!eval_error_) eval_error_ = "Evaluation error: " + std::move(message);
  }

  double parse_sum() {
    double value = parse_product();
    for (char c = peek(); c == '+' || c == '-'; c = peek()) {
      ++pos_;
      double rhs = parse_product();
      value = c == '+' ? value + rhs : value - rhs;
    }
    return value;
  }

  double parse_product() {
    double value = parse_unary();
    for (char c = peek(); c == '*' || c == '/' || c == '%'; c = peek()) {
      ++pos_;
      double rhs = parse_unary();
      if (c == '*')
        value *= rhs;
      else if (c == '/')
        value /= rhs;  // IEEE division: x/0 is ±inf, 0/0 is NaN
      else
        value = std::fmod(value, rhs);
    }
    return value;
  }

  // Every recursion passes through here, so this is where nesting is bounded.
  double parse_unary() {
    if (++depth_ > kMaxExpressionDepth)
      throw SyntaxError{"Expression is nested too deeply (at most " + std::to_string(kMaxExpressionDepth) +
                        " levels)."};
    double value;
    char c = peek();
    if (c == '-') {
      ++pos_;
      value = -parse_unary();
    } else if (c == '+') {
      ++pos_;
      value = parse_unary();
    } else {
      value = parse_power();
    }
    --depth_;
    return value;
  }

  // Power binds tighter than a leading minus (-2^2 is -4) and groups from the
  // right.
  double parse_power() {
    double base = parse_atom();
    if (peek() == '^') {
      ++pos_;
      return std::pow(base, parse_unary());
    }
    return base;
  }

  double parse_atom() {
    char c = peek();
    if (c == '(') {
      ++pos_;
      double value = parse_sum();
      if (peek() != ')') unexpected();
      ++pos_;
      return value;
    }
    if (is_ascii_digit(c) || (c == '.' && pos_ + 1 < text_.size() && is_ascii_digit(text_[pos_ + 1]))) return parse_number();
    if (is_ident_start(c)) return parse_name();
    unexpected();
  }

  // A comma between digits is the Russian decimal comma ("работы * 0,1"), in an argument list
  // too: "round(работы * 0,07)" is what users mean. Arguments are parted by a semicolon, as in
  // Russian spreadsheets, or by a comma that does not stand between digits ("max(1, 5)").
  bool decimal_comma_at(size_t p) const {
    return p > 0 && p + 1 < text_.size() && text_[p] == ',' && is_ascii_digit(text_[p - 1]) && is_ascii_digit(text_[p + 1]);
  }

  double parse_number() {
    size_t start = pos_;
    while (pos_ < text_.size() && is_ascii_digit(text_[pos_])) ++pos_;
    size_t comma = std::string_view::npos;
    if (pos_ < text_.size() && (text_[pos_] == '.' || decimal_comma_at(pos_))) {
      if (text_[pos_] == ',') comma = pos_;
      ++pos_;
      while (pos_ < text_.size() && is_ascii_digit(text_[pos_])) ++pos_;
    }
    // An exponent only when digits follow, so that "2e" stays a number followed
    // by a name.
    if (pos_ < text_.size() && (text_[pos_] == 'e' || text_[pos_] == 'E')) {
      size_t p = pos_ + 1;
      if (p < text_.size() && (text_[p] == '+' || text_[p] == '-')) ++p;
      if (p < text_.size() && is_ascii_digit(text_[p])) {
        while (p < text_.size() && is_ascii_digit(text_[p])) ++p;
        pos_ = p;
      }
    }
    // from_chars ignores the process locale, which may use a decimal comma; it reads a point.
    std::string spelled(text_.substr(start, pos_ - start));
    if (comma != std::string_view::npos) spelled[comma - start] = '.';
    double value = 0;
    auto [ptr, ec] = std::from_chars(spelled.data(), spelled.data() + spelled.size(), value);
    if (ec == std::errc::result_out_of_range) {
      value = HUGE_VAL;  // only large exponents get here; tiny ones come back as 0
      for (size_t i = start; i < pos_; ++i)
        if (text_[i] == '-') value = 0;
    } else if (ec != std::errc() || ptr != spelled.data() + spelled.size()) {
      pos_ = start;
      unexpected();
    }
    return value;
  }

  double parse_name() {
    size_t start = pos_;
    while (pos_ < text_.size() && is_ident_char(text_[pos_])) ++pos_;
    std::string name(text_.substr(start, pos_ - start));
    if (peek() == '(') {
      ++pos_;
      return parse_call(name);
    }
    if (auto it = variables_.find(name); it != variables_.end()) return it->second;
    if (name == "pi") return std::numbers::pi;
    if (name == "e") return std::numbers::e;
    fail_evaluation("unknown variable `" + name + "`.");
    return 0;
  }

  double parse_call(const std::string& name) {
    std::vector<double> args;
    if (peek() != ')') {
      args.push_back(parse_sum());
      while (peek() == ',' || peek() == ';') {
        ++pos_;
        args.push_back(parse_sum());
      }
    }
    if (peek() != ')') unexpected();
    ++pos_;
    const Function* f = find_function(name);
    if (!f) {
      fail_evaluation("unknown function `" + name + "`.");
      return 0;
    }
    int count = static_cast<int>(args.size());
    if (f->arity < 0 && count == 0) {
      fail_evaluation("function `" + name + "` takes at least 1 argument, got 0.");
      return 0;
    }
    if (f->arity >= 0 && count != f->arity) {
      fail_evaluation("function `" + name + "` takes " + std::to_string(f->arity) + " argument" +
                      (f->arity == 1 ? "" : "s") + ", got " + std::to_string(count) + ".");
      return 0;
    }
    return f->apply(args);
  }

  std::string_view text_;
  const VariableMap& variables_;
  size_t pos_ = 0;
  int depth_ = 0;
  std::optional<std::string> eval_error_;
};

}  // namespace

EvalOutcome evaluate_expression(std::string_view text, const VariableMap& variables) {
  if (text.size() > kMaxExpressionBytes)
    return {false, 0,
            "Expression is too long: " + std::to_string(text.size()) + " bytes (at most " +
                std::to_string(kMaxExpressionBytes) + ")."};
  return Evaluator(text, variables).run();
}

}  // namespace calcora
