// The records in which estimates travel between the page and the native side:
// the header, its lines, its footer, the whole estimate and one entry of the
// estimate list. JSON keys are written in field order; decoding follows the
// record conventions (required keys, keys with a default, optional keys where
// null and absent both mean null).
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "commands/decode.h"
#include "commands/json.h"

namespace calcora {

struct Estimate {
  int64_t id = 0;
  std::string object_name;
  std::string created_at;
  std::string updated_at;
  std::string mode = "simple";
  std::optional<std::string> mode_mask_json;
  std::optional<std::string> calc_params_json;
  std::optional<std::string> kp_json;
};

struct EstimateLine {
  std::optional<int64_t> id;
  int64_t estimate_id = 0;
  int32_t sort_order = 0;
  std::string line_type = "full";  // "full", "quantity_only", "fixed" or "section"
  std::string name;
  std::optional<std::string> unit;
  std::optional<double> quantity;
  std::optional<double> unit_price;
  std::optional<double> fixed_total;
  std::optional<int64_t> catalog_item_id;
  bool name_bold = false;
  std::string category = "work";  // "work", "material" or "equipment"
  std::optional<std::string> format_json;
  std::optional<std::string> sku;
  std::optional<double> cost_price;
  std::optional<std::string> formula;
};

struct EstimateFooter {
  int64_t estimate_id = 0;
  double materials = 0;
  double delivery = 0;
  double advance = 0;
  bool show_materials = false;
  bool show_delivery = false;
  bool show_advance = false;
  std::optional<std::string> markup_formula;
  std::optional<std::string> extras_json;  // JSON array of extra sums, or null when there are none
};

// What reads give for an estimate without a (readable) footer row: zeros, flags
// off, nothing else.
EstimateFooter default_footer(int64_t estimate_id);

// One whole estimate; also the shape every command that returns an estimate
// answers with.
struct SaveEstimatePayload {
  Estimate estimate;
  std::vector<EstimateLine> lines;
  EstimateFooter footer;
};

// One entry of the estimate list; `total` is the grand total before the advance
// is taken off.
struct EstimateSummary {
  int64_t id = 0;
  std::string object_name;
  std::string created_at;
  std::string updated_at;
  double total = 0;
  std::string mode;
};

// A real as JSON: the number, or null when it is not finite.
Json real_to_json(double value);
Json real_to_json(const std::optional<double>& value);

Json to_json(const Estimate& estimate);
Json to_json(const EstimateLine& line);
Json to_json(const EstimateFooter& footer);
Json to_json(const SaveEstimatePayload& payload);
// The same record as JSON text, the lines written one by one without building the document:
// the answer of an import that reads back thousands of lines.
std::string to_json_text(const SaveEstimatePayload& payload);
Json to_json(const EstimateSummary& summary);

template <>
Estimate decode_value<Estimate>(const Json& value);
template <>
EstimateLine decode_value<EstimateLine>(const Json& value);
template <>
EstimateFooter decode_value<EstimateFooter>(const Json& value);
template <>
std::vector<EstimateLine> decode_value<std::vector<EstimateLine>>(const Json& value);
template <>
SaveEstimatePayload decode_value<SaveEstimatePayload>(const Json& value);

}  // namespace calcora
