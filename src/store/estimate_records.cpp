// JSON encoding and decoding of the estimate records.
#include "store/estimate_records.h"

#include <cmath>
#include <utility>

#include "commands/json_text.h"

namespace calcora {

EstimateFooter default_footer(int64_t estimate_id) {
  EstimateFooter footer;
  footer.estimate_id = estimate_id;
  return footer;
}

Json real_to_json(double value) { return std::isfinite(value) ? Json(value) : Json(nullptr); }

Json real_to_json(const std::optional<double>& value) { return value ? real_to_json(*value) : Json(nullptr); }

Json to_json(const Estimate& e) {
  return Json{{"id", e.id},
              {"object_name", e.object_name},
              {"created_at", e.created_at},
              {"updated_at", e.updated_at},
              {"mode", e.mode},
              {"mode_mask_json", to_json_or_null(e.mode_mask_json)},
              {"calc_params_json", to_json_or_null(e.calc_params_json)},
              {"kp_json", to_json_or_null(e.kp_json)}};
}

namespace {

// Appends members in order without the duplicate-key search of Json::operator[]: encoding the
// lines is the bulk of a save's answer.
class ObjectWriter {
 public:
  ObjectWriter() : json_(Json::object()), members_(json_.get_ref<Json::object_t&>()) {}
  template <typename T>
  ObjectWriter& add(const char* key, T&& value) {
    members_.emplace_back(key, Json(std::forward<T>(value)));
    return *this;
  }
  Json take() { return std::move(json_); }

 private:
  Json json_;
  Json::object_t& members_;
};

}  // namespace

Json to_json(const EstimateLine& l) {
  ObjectWriter w;
  w.add("id", to_json_or_null(l.id))
      .add("estimate_id", l.estimate_id)
      .add("sort_order", l.sort_order)
      .add("line_type", l.line_type)
      .add("name", l.name)
      .add("unit", to_json_or_null(l.unit))
      .add("quantity", real_to_json(l.quantity))
      .add("unit_price", real_to_json(l.unit_price))
      .add("fixed_total", real_to_json(l.fixed_total))
      .add("catalog_item_id", to_json_or_null(l.catalog_item_id))
      .add("name_bold", l.name_bold)
      .add("category", l.category)
      .add("format_json", to_json_or_null(l.format_json))
      .add("sku", to_json_or_null(l.sku))
      .add("cost_price", real_to_json(l.cost_price))
      .add("formula", to_json_or_null(l.formula));
  return w.take();
}

Json to_json(const EstimateFooter& f) {
  return Json{{"estimate_id", f.estimate_id},
              {"materials", real_to_json(f.materials)},
              {"delivery", real_to_json(f.delivery)},
              {"advance", real_to_json(f.advance)},
              {"show_materials", f.show_materials},
              {"show_delivery", f.show_delivery},
              {"show_advance", f.show_advance},
              {"markup_formula", to_json_or_null(f.markup_formula)},
              {"extras_json", to_json_or_null(f.extras_json)}};
}

Json to_json(const SaveEstimatePayload& p) {
  Json lines = Json::array();
  for (const auto& line : p.lines) lines.push_back(to_json(line));
  return Json{{"estimate", to_json(p.estimate)}, {"lines", std::move(lines)}, {"footer", to_json(p.footer)}};
}

namespace {

void write_line(const EstimateLine& l, JsonTextWriter& out) {
  out.raw("{\"id\":").optional(l.id);
  out.raw(",\"estimate_id\":").integer(l.estimate_id);
  out.raw(",\"sort_order\":").integer(l.sort_order);
  out.raw(",\"line_type\":").string(l.line_type);
  out.raw(",\"name\":").string(l.name);
  out.raw(",\"unit\":").optional(l.unit);
  out.raw(",\"quantity\":").optional(l.quantity);
  out.raw(",\"unit_price\":").optional(l.unit_price);
  out.raw(",\"fixed_total\":").optional(l.fixed_total);
  out.raw(",\"catalog_item_id\":").optional(l.catalog_item_id);
  out.raw(",\"name_bold\":").raw(l.name_bold ? "true" : "false");
  out.raw(",\"category\":").string(l.category);
  out.raw(",\"format_json\":").optional(l.format_json);
  out.raw(",\"sku\":").optional(l.sku);
  out.raw(",\"cost_price\":").optional(l.cost_price);
  out.raw(",\"formula\":").optional(l.formula);
  out.raw("}");
}

std::string dumped(const Json& value) { return value.dump(-1, ' ', false, Json::error_handler_t::replace); }

}  // namespace

std::string to_json_text(const SaveEstimatePayload& p) {
  std::string text = "{\"estimate\":" + dumped(to_json(p.estimate)) + ",\"lines\":[";
  JsonTextWriter out(text);
  for (size_t i = 0; i < p.lines.size(); ++i) {
    if (i > 0) out.raw(",");
    write_line(p.lines[i], out);
  }
  out.raw("],\"footer\":").raw(dumped(to_json(p.footer))).raw("}");
  return text;
}

Json to_json(const EstimateSummary& s) {
  return Json{{"id", s.id},
              {"object_name", s.object_name},
              {"created_at", s.created_at},
              {"updated_at", s.updated_at},
              {"total", real_to_json(s.total)},
              {"mode", s.mode}};
}

template <>
Estimate decode_value<Estimate>(const Json& value) {
  RecordReader r(value);
  Estimate e;
  e.id = r.required<int64_t>("id");
  e.object_name = r.required<std::string>("object_name");
  e.created_at = r.required<std::string>("created_at");
  e.updated_at = r.required<std::string>("updated_at");
  e.mode = r.with_default<std::string>("mode", "simple");
  e.mode_mask_json = r.optional<std::string>("mode_mask_json");
  e.calc_params_json = r.optional<std::string>("calc_params_json");
  e.kp_json = r.optional<std::string>("kp_json");
  return e;
}

template <>
EstimateLine decode_value<EstimateLine>(const Json& value) {
  RecordReader r(value);
  EstimateLine l;
  l.id = r.optional<int64_t>("id");
  l.estimate_id = r.required<int64_t>("estimate_id");
  l.sort_order = r.required<int32_t>("sort_order");
  l.line_type = r.required<std::string>("line_type");
  l.name = r.required<std::string>("name");
  l.unit = r.optional<std::string>("unit");
  l.quantity = r.optional<double>("quantity");
  l.unit_price = r.optional<double>("unit_price");
  l.fixed_total = r.optional<double>("fixed_total");
  l.catalog_item_id = r.optional<int64_t>("catalog_item_id");
  l.name_bold = r.with_default<bool>("name_bold", false);
  l.category = r.with_default<std::string>("category", "work");
  l.format_json = r.optional<std::string>("format_json");
  l.sku = r.optional<std::string>("sku");
  l.cost_price = r.optional<double>("cost_price");
  l.formula = r.optional<std::string>("formula");
  return l;
}

template <>
EstimateFooter decode_value<EstimateFooter>(const Json& value) {
  RecordReader r(value);
  EstimateFooter f;
  f.estimate_id = r.required<int64_t>("estimate_id");
  f.materials = r.required<double>("materials");
  f.delivery = r.required<double>("delivery");
  f.advance = r.required<double>("advance");
  f.show_materials = r.required<bool>("show_materials");
  f.show_delivery = r.required<bool>("show_delivery");
  f.show_advance = r.required<bool>("show_advance");
  f.markup_formula = r.optional<std::string>("markup_formula");
  f.extras_json = r.optional<std::string>("extras_json");
  return f;
}

template <>
std::vector<EstimateLine> decode_value<std::vector<EstimateLine>>(const Json& value) {
  if (!value.is_array()) throw_invalid_type(value, "a sequence");
  std::vector<EstimateLine> lines;
  lines.reserve(value.size());
  for (const auto& element : value) lines.push_back(decode_value<EstimateLine>(element));
  return lines;
}

template <>
SaveEstimatePayload decode_value<SaveEstimatePayload>(const Json& value) {
  RecordReader r(value);
  SaveEstimatePayload p;
  p.estimate = r.required<Estimate>("estimate");
  p.lines = r.required<std::vector<EstimateLine>>("lines");
  p.footer = r.required<EstimateFooter>("footer");
  return p;
}

}  // namespace calcora
