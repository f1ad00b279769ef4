// The markup formula of an estimate's footer: users write it with Russian
// variable names (работы * 0.1); older formulas use the English names. Both
// evaluate alike.
#pragma once

#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "calc/expression.h"

namespace calcora {

// Replaces each Russian variable name, and its form with a capital first
// letter, by its English name: a plain substring replacement, table row by
// table row, without regard to word boundaries.
std::string substitute_markup_aliases(std::string_view formula);

// Variables as the caller passes them, in order; a name from the alias table is
// bound under its English name as well.
using MarkupVariables = std::vector<std::pair<std::string, double>>;

// Substitutes the aliases and evaluates. The text is taken as given (callers
// trim it).
EvalOutcome evaluate_markup_formula(std::string_view formula, const MarkupVariables& variables);

}  // namespace calcora
