// Registers evaluate_formula_cmd, the markup evaluation the page asks for while the user types.
#include "calc/markup_formula.h"
#include "commands/dispatcher.h"
#include "commands/registration.h"
#include "store/estimate_records.h"

namespace calcora {

namespace {

// The `vars` object: names with numeric values, in the order given.
MarkupVariables decode_variables(const Json& value) {
  if (!value.is_object()) throw_invalid_type(value, "a map");
  MarkupVariables variables;
  for (const auto& [name, number] : value.items()) variables.emplace_back(name, decode_value<double>(number));
  return variables;
}

}  // namespace

template <>
MarkupVariables decode_value<MarkupVariables>(const Json& value) {
  return decode_variables(value);
}

void register_calc_commands(CommandRegistry& registry) {
  registry.add("evaluate_formula_cmd", [](AppState&, const Args& a) -> Json {
    auto expr = a.required<std::string>("expr");
    auto vars = a.required<MarkupVariables>("vars");
    EvalOutcome outcome = evaluate_markup_formula(expr, vars);
    if (!outcome.ok) throw CommandError(outcome.error);
    return real_to_json(outcome.value);
  });
}

}  // namespace calcora
