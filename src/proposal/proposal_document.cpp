#include "proposal/proposal_document.h"

#include "common/html_text.h"
#include "common/money_text.h"

namespace calcora {

namespace {

struct Reader {
  std::string problem;

  bool fail(const std::string& where, const char* what) {
    if (problem.empty()) problem = where + " " + what;
    return false;
  }
  bool text(const Json& object, const char* key, const std::string& where, std::string& out) {
    auto it = object.find(key);
    if (it == object.end() || !it->is_string()) return fail(where + key, "is not a text");
    out = it->get<std::string>();
    return true;
  }
  bool number(const Json& object, const char* key, const std::string& where, double& out) {
    auto it = object.find(key);
    if (it == object.end() || !it->is_number()) return fail(where + key, "is not a number");
    out = it->get<double>();
    return true;
  }
  template <typename T>
  bool optional(const Json& object, const char* key, const std::string& where, std::optional<T>& out) {
    auto it = object.find(key);
    if (it == object.end() || it->is_null()) return true;
    bool right = std::is_same_v<T, std::string> ? it->is_string() : it->is_number();
    if (!right) return fail(where + key, "has the wrong type");
    out = it->get<T>();
    return true;
  }
};

std::string line_row(const ProposalDocumentLine& line) {
  auto cell = [](const std::string& text) { return "<td>" + text + "</td>"; };
  return "<tr>" + cell(escape_html(line.name)) + cell(escape_html(line.unit.value_or(""))) +
         cell(line.quantity ? plain_number_text(*line.quantity) : "") +
         cell(line.unit_price ? money_text(*line.unit_price) : "") + cell(money_text(line.total)) + "</tr>";
}

}  // namespace

ProposalDocument::Reading ProposalDocument::from_snapshot(const Json& snapshot) {
  Reader r;
  ProposalDocument doc;
  if (!snapshot.is_object()) return {std::nullopt, "the snapshot is not an object"};
  bool ok = r.text(snapshot, "title", "", doc.title) && r.text(snapshot, "object_name", "", doc.object_name) &&
            r.number(snapshot, "total", "", doc.total) && r.optional(snapshot, "logo_b64", "", doc.logo);
  auto lines = snapshot.find("lines");
  auto stages = snapshot.find("stages");
  if (ok && (lines == snapshot.end() || !lines->is_array())) ok = r.fail("lines", "is not an array");
  if (ok && (stages == snapshot.end() || !stages->is_array())) ok = r.fail("stages", "is not an array");
  for (size_t i = 0; ok && i < lines->size(); ++i) {
    const Json& item = (*lines)[i];
    std::string where = "lines[" + std::to_string(i) + "].";
    if (!item.is_object()) {
      ok = r.fail(where.substr(0, where.size() - 1), "is not an object");
      break;
    }
    ProposalDocumentLine line;
    ok = r.text(item, "name", where, line.name) && r.optional(item, "unit", where, line.unit) &&
         r.optional(item, "quantity", where, line.quantity) && r.optional(item, "unit_price", where, line.unit_price) &&
         r.number(item, "total", where, line.total);
    doc.lines.push_back(std::move(line));
  }
  for (size_t i = 0; ok && i < stages->size(); ++i) {
    const Json& item = (*stages)[i];
    std::string where = "stages[" + std::to_string(i) + "].";
    if (!item.is_object()) {
      ok = r.fail(where.substr(0, where.size() - 1), "is not an object");
      break;
    }
    ProposalDocumentStage stage;
    ok = r.text(item, "title", where, stage.title) && r.number(item, "amount", where, stage.amount);
    doc.stages.push_back(std::move(stage));
  }
  if (!ok) return {std::nullopt, r.problem};
  return {std::move(doc), {}};
}

std::string proposal_body_html(const ProposalDocument& doc) {
  std::string title = escape_html(doc.title);
  std::string out;
  if (doc.logo && doc.logo->starts_with("data:image/"))
    out += "<img alt=\"\" src=\"" + escape_html(*doc.logo) + "\" style=\"max-height:64px\">";
  out += "\n<h1>" + (title.empty() ? std::string("Коммерческое предложение") : title) + "</h1>\n";
  out += "<p>" + escape_html(doc.object_name) + "</p>\n";
  out += "<table><thead><tr><th>Наименование</th><th>Ед.</th><th>Кол-во</th><th>Цена</th><th>Сумма</th></tr></thead>"
         "<tbody>";
  for (const auto& line : doc.lines) out += line_row(line);
  out += "</tbody></table>\n";
  for (const auto& stage : doc.stages) out += "<p>" + escape_html(stage.title) + ": " + money_text(stage.amount) + " ₽</p>";
  out += "\n<p>Итого: " + money_text(doc.total) + " ₽</p>";
  return out;
}

std::string proposal_document_html(const ProposalDocument& doc) {
  std::string title = escape_html(doc.title);
  return "<!doctype html><html lang=\"ru\"><head><meta charset=\"utf-8\"><title>" +
         (title.empty() ? std::string("КП") : title) + "</title>\n<style>" + kProposalDocumentStyle +
         "</style>\n</head><body>\n" + proposal_body_html(doc) + "</body></html>";
}

}  // namespace calcora
