#include "exchange/estimate_csv.h"

#include <cmath>

#include "common/ascii.h"
#include "exchange/footer_rows.h"
#include "exchange/number_text.h"

namespace calcora {

namespace {

// RFC 4180 quoting: only fields holding the separator, a quote or a line break are enclosed.
std::string field(const std::string& value) {
  if (value.find_first_of(";\"\r\n") == std::string::npos) return value;
  std::string out = "\"";
  for (char c : value) {
    if (c == '"') out += '"';
    out += c;
  }
  return out + "\"";
}

// An amount; absent or not finite gives the empty field.
std::string amount(const std::optional<double>& value) { return number_text(value); }


void total_record(std::string& out, const std::string& label, double value) {
  out += "\n;" + label + ";;;;" + amount(value);
}

}  // namespace

std::string estimate_csv_text(const SaveEstimatePayload& estimate, const EstimateTotals& totals) {
  std::string out = "\xEF\xBB\xBF№;Наименование;Ед.;Кол-во;Цена;Сумма";
  int n = 0;
  for (const auto& line : estimate.lines) {
    if (is_blank(line.name)) continue;
    out += "\n" + field(std::to_string(++n)) + ";" + field(line.name);
    if (line.line_type == "section") {
      out += ";;;;";
      continue;
    }
    out += ";" + field(line.unit.value_or("")) + ";" + amount(line.quantity) + ";" + amount(line.unit_price) + ";" +
           amount(line_sum(line));
  }
  total_record(out, "Работы", totals.works);
  total_record(out, "Материалы", totals.materials);
  total_record(out, "Техника", totals.equipment);
  total_record(out, "Общий итог", totals.grand);
  const EstimateFooter& footer = estimate.footer;
  if (footer.show_delivery) total_record(out, "Доставка", totals.delivery);
  // Labels are the user's own text: quoted like names, so a ";" in one cannot add fields.
  for (const auto& extra : printed_extras(footer.extras_json)) total_record(out, field(extra.label), extra.amount);
  if (has_markup_formula(footer.markup_formula)) total_record(out, "Наценка", totals.markup);
  return out;
}

}  // namespace calcora
