// The native totals of an estimate, used by the estimate list and the exports.
#include "calc/totals.h"

#include "calc/markup_formula.h"

namespace calcora {

namespace {

std::string_view trim(std::string_view s) {
  constexpr std::string_view kBlank = " \t\n\r\f\v";
  size_t first = s.find_first_not_of(kBlank);
  if (first == std::string_view::npos) return {};
  return s.substr(first, s.find_last_not_of(kBlank) - first + 1);
}

enum class Bucket { kWorks, kMaterials, kEquipment };

Bucket bucket_of(const std::string& category) {
  std::string_view c = trim(category);
  if (c == "material") return Bucket::kMaterials;
  if (c == "equipment") return Bucket::kEquipment;
  return Bucket::kWorks;
}

}  // namespace

double line_sum(const EstimateLine& line) {
  if (line.line_type == "section" || line.line_type == "quantity_only") return 0;
  if (line.line_type == "fixed") return line.fixed_total.value_or(0);
  return line.quantity.value_or(0) * line.unit_price.value_or(0);
}

double extras_sum(const std::optional<std::string>& extras_json) {
  if (!extras_json || trim(*extras_json).empty()) return 0;
  Json rows = Json::parse(*extras_json, nullptr, /*allow_exceptions=*/false);
  if (!rows.is_array()) return 0;
  double sum = 0;
  for (const auto& row : rows) {
    if (!row.is_object()) return 0;
    double amount = 0;
    bool enabled = true;
    if (auto it = row.find("amount"); it != row.end()) {
      if (!it->is_number()) return 0;
      amount = it->get<double>();
    }
    if (auto it = row.find("enabled"); it != row.end()) {
      if (!it->is_boolean()) return 0;
      enabled = it->get<bool>();
    }
    if (enabled) sum += amount;
  }
  return sum;
}

EstimateTotals compute_totals(std::span<const EstimateLine> lines, const EstimateFooter& footer) {
  EstimateTotals t;
  for (const auto& line : lines) {
    double sum = line_sum(line);
    switch (bucket_of(line.category)) {
      case Bucket::kWorks: t.works += sum; break;
      case Bucket::kMaterials: t.materials += sum; break;
      case Bucket::kEquipment: t.equipment += sum; break;
    }
  }
  if (footer.show_materials) t.materials += footer.materials;
  t.delivery = footer.show_delivery ? footer.delivery : 0;
  t.extras = extras_sum(footer.extras_json);
  std::string_view formula = footer.markup_formula ? trim(*footer.markup_formula) : std::string_view();
  if (!formula.empty()) {
    // The advance enters the formula as stored, whether or not it is shown.
    EvalOutcome markup = evaluate_markup_formula(formula, {{"works", t.works},
                                                           {"materials", t.materials},
                                                           {"delivery", t.delivery},
                                                           {"equipment", t.equipment},
                                                           {"advance", footer.advance},
                                                           {"extras", t.extras}});
    t.markup = markup.ok ? markup.value : 0;
  }
  t.grand = t.works + t.materials + t.equipment + t.delivery + t.extras + t.markup;
  t.advance = footer.advance;
  t.balance = footer.show_advance ? t.grand - footer.advance : t.grand;
  return t;
}

Json to_json(const EstimateTotals& t) {
  return Json{{"works", real_to_json(t.works)},         {"materials", real_to_json(t.materials)},
              {"equipment", real_to_json(t.equipment)}, {"delivery", real_to_json(t.delivery)},
              {"extras", real_to_json(t.extras)},       {"markup", real_to_json(t.markup)},
              {"grand", real_to_json(t.grand)},         {"advance", real_to_json(t.advance)},
              {"balance", real_to_json(t.balance)}};
}

}  // namespace calcora
