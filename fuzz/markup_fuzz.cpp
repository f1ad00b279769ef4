// Markup formulas as users type them: alias substitution and the evaluator, with a few
// variables bound.
#include "calc/markup_formula.h"
#include "fuzz_support.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace calcora;
  static const MarkupVariables vars = {{"works", 1000}, {"materials", 250.5}, {"equipment", 0}, {"total", 1250.5}};
  fuzz::expect_clean([&] { evaluate_markup_formula(fuzz::as_text(data, size), vars); });
  return 0;
}
