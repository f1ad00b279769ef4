// A small arithmetic expression evaluator for markup formulas: decimal numbers (with a point,
// or the Russian decimal comma between digits), + - * / % and ^ with the usual precedence,
// unary minus, parentheses, ASCII variables, the constants pi and e, and a fixed set of
// functions (arguments parted by ";" or ","). Division by zero is no error (it gives an
// infinite value, or not-a-number for 0/0). Texts that are too long or nested too deeply are
// refused with a message instead of exhausting the stack.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <unordered_map>

namespace calcora {

using VariableMap = std::unordered_map<std::string, double>;

inline constexpr std::size_t kMaxExpressionBytes = 10000;
inline constexpr int kMaxExpressionDepth = 200;

struct EvalOutcome {
  bool ok = false;
  double value = 0;
  std::string error;  // the evaluator's message when !ok
};

// Evaluates `text` with the standard constants (pi, e) overridden by
// `variables`. Syntax errors name the byte offset in `text`: "Unexpected token
// at byte 4.".
EvalOutcome evaluate_expression(std::string_view text, const VariableMap& variables);

}  // namespace calcora
