// Alias substitution and evaluation of markup formulas.
#include "calc/markup_formula.h"

namespace calcora {

namespace {

struct Alias {
  std::string_view russian;
  std::string_view capitalised;
  std::string_view english;
};

// Applied in this order: "потолок" goes before "пол", which it contains.
constexpr Alias kAliases[] = {
    {"работы", "Работы", "works"},        {"материалы", "Материалы", "materials"},
    {"доставка", "Доставка", "delivery"}, {"техника", "Техника", "equipment"},
    {"аванс", "Аванс", "advance"},        {"доп", "Доп", "extras"},
    {"потолок", "Потолок", "ceiling"},    {"периметр", "Периметр", "perimeter"},
    {"опалубка", "Опалубка", "formwork"}, {"стены", "Стены", "walls"},
    {"точки", "Точки", "points"},         {"кабель", "Кабель", "cable"},
    {"бетон", "Бетон", "concrete"},       {"пол", "Пол", "floor"},
};

void replace_all(std::string& text, std::string_view from, std::string_view to) {
  std::string out;
  size_t start = 0;
  for (size_t at = text.find(from); at != std::string::npos; at = text.find(from, start)) {
    out.append(text, start, at - start);
    out.append(to);
    start = at + from.size();
  }
  if (start == 0) return;
  out.append(text, start);
  text = std::move(out);
}

}  // namespace

std::string substitute_markup_aliases(std::string_view formula) {
  std::string text(formula);
  for (const auto& alias : kAliases) {
    replace_all(text, alias.russian, alias.english);
    replace_all(text, alias.capitalised, alias.english);
  }
  return text;
}

EvalOutcome evaluate_markup_formula(std::string_view formula, const MarkupVariables& variables) {
  if (formula.size() > kMaxExpressionBytes) return evaluate_expression(formula, {});  // refused for its length
  VariableMap bound;
  for (const auto& [name, value] : variables) {
    bound[name] = value;
    for (const auto& alias : kAliases)
      if (name == alias.russian) bound[std::string(alias.english)] = value;
  }
  return evaluate_expression(substitute_markup_aliases(formula), bound);
}

}  // namespace calcora
