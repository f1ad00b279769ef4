// The native markup evaluator: arithmetic, names, aliases, error texts and the limits that keep
// hostile input from exhausting the stack.
#include "calc/markup_formula.h"

#include <gtest/gtest.h>

#include <cmath>

#include "command_fixture.h"
#include "commands/dispatcher.h"

namespace calcora {
namespace {

const MarkupVariables kSix = {{"works", 1000},   {"materials", 200}, {"delivery", 50},
                              {"equipment", 30}, {"advance", 400},   {"extras", 7}};

TEST(MarkupFormula, Values) {
  struct Case {
    const char* formula;
    double expected;
  };
  const Case cases[] = {
      {"2 * (3 + 4)", 14},
      {"1 - 2 - 3", -4},
      {"8 / 2 / 2", 2},
      {"-2 * 3", -6},
      {"- -2", 2},
      {"+2", 2},
      {"2 + 3 * 4", 14},
      {"2 ^ 3 ^ 2", 512},  // power groups from the right
      {"-2 ^ 2", -4},      // and binds tighter than a leading minus
      {"2 ^ -1", 0.5},
      {"7 % 3", 1},
      {"1.5e3 + .5", 1500.5},
      {"pi", 3.141592653589793},
      {"e", 2.718281828459045},
      {"max(1, 5, 3)", 5},
      {"min(4)", 4},
      {"atan2(0, -1)", 3.141592653589793},
      {"round(2.5) + round(-2.5)", 0},
      {"signum(-3) + abs(-2) + sqrt(16) + floor(1.7) + ceil(1.2)", 8},
      {"ln(e) + exp(0)", 2},
      {"works * 0.1", 100},
      {"работы * 0.1", 100},
      {"Работы * 0.1", 100},
      {"(работы + доп) * 0.1", 100.7},
      {"материалы + Доставка + техника + аванс", 680},
  };
  for (const auto& c : cases) {
    EvalOutcome out = evaluate_markup_formula(c.formula, kSix);
    ASSERT_TRUE(out.ok) << c.formula << ": " << out.error;
    EXPECT_DOUBLE_EQ(out.value, c.expected) << c.formula;
  }
}

TEST(MarkupFormula, Errors) {
  struct Case {
    const char* formula;
    const char* error;
  };
  const Case cases[] = {
      {"стены * 2", "Evaluation error: unknown variable `walls`."},
      {"РАБОТЫ * 0.1", "Unexpected token at byte 0."},
      {"works + площадь", "Unexpected token at byte 8."},
      {"допуск", "Unexpected token at byte 6."},  // plain substring replacement: "extrasуск"
      {"works +", "Unexpected end of expression."},
      {"(works", "Unexpected end of expression."},
      {"works )", "Unexpected token at byte 6."},
      {"2,5,1", "Unexpected token at byte 3."},  // one decimal comma per number
      {"2, 5", "Unexpected token at byte 1."},   // a comma only between digits
      {"2 works", "Unexpected token at byte 2."},
      {"", "Unexpected end of expression."},
      {"foo(1)", "Evaluation error: unknown function `foo`."},
      {"atan2(1)", "Evaluation error: function `atan2` takes 2 arguments, got 1."},
      {"max()", "Evaluation error: function `max` takes at least 1 argument, got 0."},
      {"sqrt", "Evaluation error: unknown variable `sqrt`."},
      // A syntax error anywhere wins over an unknown name met before it.
      {"nothing + )", "Unexpected token at byte 10."},
  };
  for (const auto& c : cases) {
    EvalOutcome out = evaluate_markup_formula(c.formula, kSix);
    EXPECT_FALSE(out.ok) << c.formula;
    EXPECT_EQ(out.error, c.error) << c.formula;
  }
}

// Users type a decimal comma in every number: each comma form gives what its point form gives.
TEST(MarkupFormula, RussianDecimalCommaReadsLikeThePoint) {
  const std::pair<const char*, const char*> cases[] = {
      {"работы * 0,1", "работы * 0.1"},
      {"(материалы + доставка) * 1,15 - 2,5", "(материалы + доставка) * 1.15 - 2.5"},
      {"работы*0,05+техника*0,1", "работы*0.05+техника*0.1"},
      {"1,5e3", "1.5e3"},
      {"round(работы * 0,07)", "round(работы * 0.07)"},
      // Arguments are parted by a semicolon, or by a comma that does not stand between digits.
      {"max(1,5; 1)", "max(1.5, 1)"},
      {"max(работы * 0,1;500)", "max(works * 0.1, 500)"},
  };
  for (const auto& [comma, point] : cases) {
    const EvalOutcome a = evaluate_markup_formula(comma, kSix);
    const EvalOutcome b = evaluate_markup_formula(point, kSix);
    ASSERT_TRUE(a.ok && b.ok) << comma << ": " << a.error << " / " << b.error;
    EXPECT_EQ(a.value, b.value) << comma;
  }
}

TEST(MarkupFormula, RussianVariableNamesAreBoundUnderTheirEnglishNamesToo) {
  EvalOutcome out = evaluate_markup_formula("works + стены", {{"работы", 3}, {"стены", 4}});
  ASSERT_TRUE(out.ok) << out.error;
  EXPECT_EQ(out.value, 7);
  EXPECT_EQ(substitute_markup_aliases("потолок + пол + Пол"), "ceiling + floor + floor");
}

TEST(MarkupFormula, DivisionByZeroIsNoError) {
  EXPECT_TRUE(std::isinf(evaluate_markup_formula("работы / 0", kSix).value));
  EvalOutcome nan = evaluate_markup_formula("0 / 0", kSix);
  EXPECT_TRUE(nan.ok);
  EXPECT_TRUE(std::isnan(nan.value));
}

TEST(MarkupFormula, DeepOrHugeInputIsRefusedWithoutCrashing) {
  // Built by appending: GCC 12 at -O2 takes `std::string(n, c) + "1"` for an overflow (-Warray-bounds).
  auto nested = [](size_t depth, char open, const char* close) {
    std::string text(depth, open);
    text += '1';
    for (size_t i = 0; i < depth; ++i) text += close;
    return text;
  };
  EvalOutcome out = evaluate_markup_formula(nested(1000, '(', ")"), {});
  EXPECT_FALSE(out.ok);
  EXPECT_EQ(out.error, "Expression is nested too deeply (at most 200 levels).");
  EXPECT_FALSE(evaluate_markup_formula(nested(3000, '-', ""), {}).ok);

  EXPECT_TRUE(evaluate_markup_formula(nested(150, '(', ")"), {}).ok);

  std::string huge = "1";
  while (huge.size() <= kMaxExpressionBytes) huge += " + 1";
  out = evaluate_markup_formula(huge, {});
  EXPECT_FALSE(out.ok);
  EXPECT_EQ(out.error, "Expression is too long: " + std::to_string(huge.size()) + " bytes (at most 10000).");
}

using EvaluateCommandTest = test::CommandTest;

TEST_F(EvaluateCommandTest, AnswersNumbersNullAndErrorTexts) {
  Json vars = {{"works", 1000}, {"materials", 0}, {"delivery", 0}, {"equipment", 0}, {"advance", 0}, {"extras", 0}};
  struct Case {
    const char* expr;
    bool ok;
    const char* body;
  };
  const Case cases[] = {
      {"работы * 0.1", true, "100.0"},
      {"работы / 0", true, "null"},
      {"стены * 2", false, "Evaluation error: unknown variable `walls`."},
  };
  for (const auto& c : cases) {
    auto outcome = dispatcher.dispatch("evaluate_formula_cmd", Json{{"expr", c.expr}, {"vars", vars}});
    EXPECT_EQ(outcome.ok, c.ok) << c.expr;
    EXPECT_EQ(outcome.body, c.body) << c.expr;
  }
  auto bad = dispatcher.dispatch("evaluate_formula_cmd", Json{{"expr", "1"}, {"vars", {{"works", "x"}}}});
  EXPECT_FALSE(bad.ok);
  EXPECT_EQ(bad.body,
            "invalid args `vars` for command `evaluate_formula_cmd`: invalid type: string \"x\", expected f64");
}

}  // namespace
}  // namespace calcora
