#include "exchange/footer_rows.h"

#include "commands/json.h"

namespace calcora {

std::vector<PrintedExtra> printed_extras(const std::optional<std::string>& extras_json) {
  std::vector<PrintedExtra> rows;
  if (!extras_json) return rows;
  Json list = Json::parse(*extras_json, nullptr, false);
  if (!list.is_array()) return rows;
  int index = -1;
  for (const auto& item : list) {
    ++index;
    PrintedExtra row{kDefaultExtraLabel, 0, index};
    if (item.is_object()) {
      auto enabled = item.find("enabled");
      if (enabled != item.end() && enabled->is_boolean() && !enabled->get<bool>()) continue;
      auto label = item.find("label");
      if (label != item.end() && label->is_string()) row.label = label->get<std::string>();
      auto amount = item.find("amount");
      if (amount != item.end() && amount->is_number()) row.amount = amount->get<double>();
    }
    rows.push_back(std::move(row));
  }
  return rows;
}

bool has_markup_formula(const std::optional<std::string>& markup_formula) {
  return markup_formula && markup_formula->find_first_not_of(" \t\r\n\v\f") != std::string::npos;
}

}  // namespace calcora
