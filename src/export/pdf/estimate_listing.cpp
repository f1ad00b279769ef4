#include "export/pdf/estimate_listing.h"

#include <array>
#include <vector>

#include "commands/json.h"
#include "common/number_text.h"
#include "export/pdf/utf8_chars.h"

namespace calcora::pdf {

namespace {

constexpr std::string_view kEllipsis = "...";
constexpr std::string_view kDefaultExtraLabel = "Доп. сумма";

constexpr std::array<std::string_view, 5> kSerifFonts = {"times", "georgia", "palatino", "pt serif", "times new roman"};

// Unicode White_Space, so that a name of no-break spaces counts as blank too.
bool is_white_space(char32_t c) {
  return (c >= 0x09 && c <= 0x0D) || c == 0x20 || c == 0x85 || c == 0xA0 || c == 0x1680 ||
         (c >= 0x2000 && c <= 0x200A) || c == 0x2028 || c == 0x2029 || c == 0x202F || c == 0x205F || c == 0x3000;
}

std::string_view trim(std::string_view text) {
  size_t begin = 0;
  while (begin < text.size()) {
    size_t pos = begin;
    if (!is_white_space(next_char(text, pos))) break;
    begin = pos;
  }
  size_t end = begin;
  for (size_t pos = begin; pos < text.size();) {
    if (!is_white_space(next_char(text, pos))) end = pos;
  }
  return text.substr(begin, end - begin);
}

std::string printed_name(std::string_view name) {
  Prefix prefix = utf8_prefix(name, kPrintedNameChars);
  if (prefix.cut) prefix.text += kEllipsis;
  return prefix.text;
}

// A line's own font from its format, when it names one.
std::optional<std::string> format_font(const std::optional<std::string>& format_json) {
  if (!format_json) return std::nullopt;
  const Json format = Json::parse(*format_json, nullptr, /*allow_exceptions=*/false);
  if (!format.is_object()) return std::nullopt;
  auto it = format.find("font");
  if (it == format.end() || !it->is_string()) return std::nullopt;
  const auto& font = it->get_ref<const std::string&>();
  if (trim(font).empty()) return std::nullopt;
  return font;
}

std::string line_text(size_t number, const EstimateLine& line) {
  std::string text = std::to_string(number) + " | " + printed_name(line.name) + " |";
  if (line.line_type == "section") return text + "  |  |  |";
  return text + " " + line.unit.value_or("") + " | " + number_text(line.quantity) + " | " +
         number_text(line.unit_price) + " | " + number_text(line_sum(line));
}

// The enabled extra sums as "label: amount"; text that is not a JSON array gives none.
void add_extra_lines(const std::optional<std::string>& extras_json, std::vector<std::string>& out) {
  if (!extras_json) return;
  const Json rows = Json::parse(*extras_json, nullptr, /*allow_exceptions=*/false);
  if (!rows.is_array()) return;
  for (const Json& row : rows) {
    std::string label(kDefaultExtraLabel);
    double amount = 0;
    if (row.is_object()) {
      if (auto it = row.find("enabled"); it != row.end() && it->is_boolean() && !it->get<bool>()) continue;
      if (auto it = row.find("label"); it != row.end() && it->is_string()) label = it->get<std::string>();
      if (auto it = row.find("amount"); it != row.end() && it->is_number()) amount = it->get<double>();
    }
    out.push_back(label + ": " + number_text(amount));
  }
}

std::vector<std::string> totals_lines(const EstimateFooter& footer, const EstimateTotals& totals) {
  std::vector<std::string> out = {
      "Работы: " + number_text(totals.works),
      "Материалы: " + number_text(totals.materials),
      "Техника: " + number_text(totals.equipment),
  };
  if (footer.show_delivery) out.push_back("Доставка: " + number_text(totals.delivery));
  add_extra_lines(footer.extras_json, out);
  if (footer.markup_formula && !trim(*footer.markup_formula).empty())
    out.push_back("Наценка: " + number_text(totals.markup));
  out.push_back("Общий итог: " + number_text(totals.grand));
  if (footer.show_advance) {
    out.push_back("Аванс: " + number_text(totals.advance));
    out.push_back("Остаток: " + number_text(totals.balance));
  }
  return out;
}

}  // namespace

FontChoice font_for_name(std::string_view font_name) {
  std::string name(trim(font_name));
  for (char& c : name)
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  for (std::string_view serif : kSerifFonts)
    if (name == serif) return FontChoice::serif;
  return FontChoice::sans;
}

Document estimate_document(const SaveEstimatePayload& estimate, const EstimateTotals& totals,
                           std::string_view print_font) {
  const FontChoice default_font = font_for_name(print_font);
  std::vector<TextLine> body;
  size_t number = 1;
  for (const EstimateLine& line : estimate.lines) {
    if (trim(line.name).empty()) continue;
    const auto own_font = format_font(line.format_json);
    body.push_back({line_text(number++, line), own_font ? font_for_name(*own_font) : default_font});
  }
  for (std::string& text : totals_lines(estimate.footer, totals)) body.push_back({std::move(text), default_font});

  Document document;
  document.title = estimate.estimate.object_name;
  const TextLine title{estimate.estimate.object_name, default_font};
  for (size_t start = 0; start < body.size() || document.pages.empty(); start += kBodyLinesPerPage) {
    Page& page = document.pages.emplace_back();
    page.lines.push_back(title);
    const size_t end = std::min(body.size(), start + kBodyLinesPerPage);
    for (size_t i = start; i < end; ++i) page.lines.push_back(std::move(body[i]));
  }
  return document;
}

}  // namespace calcora::pdf
