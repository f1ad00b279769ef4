#include "exchange/clcx_file.h"

#include <limits>
#include <utility>

#include "commands/decode.h"
#include "common/errors.h"
#include "exchange/clcx_direct_read.h"
#include "exchange/gzip_codec.h"

namespace calcora {

namespace {

Json column_def(const char* id, const char* title, const char* kind) {
  return Json{{"id", id}, {"title", title}, {"kind", kind}};
}

// nlohmann prefixes its messages with "[json.exception.parse_error.101] "; the user needs only the reason.
std::string parser_reason(const std::exception& e) {
  std::string text = e.what();
  if (text.rfind("[json.exception.", 0) == 0) {
    size_t close = text.find("] ");
    if (close != std::string::npos) text = text.substr(close + 2);
  }
  return text;
}

// The version as an unsigned 32-bit integer, read before the rest of the content is looked at.
uint64_t probe_version(const Json& content) {
  if (!content.is_object()) throw_invalid_type(content, "struct VersionProbe");
  auto it = content.find("version");
  if (it == content.end()) throw DecodeError("missing field `version`");
  if (it->is_number_unsigned()) {
    uint64_t v = it->get<uint64_t>();
    if (v > std::numeric_limits<uint32_t>::max())
      throw DecodeError("invalid value: integer `" + std::to_string(v) + "`, expected u32");
    return v;
  }
  if (it->is_number_integer())
    throw DecodeError("invalid value: integer `" + std::to_string(it->get<int64_t>()) + "`, expected u32");
  throw_invalid_type(*it, "u32");
}

const Json& required_member(const Json& object, const char* key) {
  auto it = object.find(key);
  if (it == object.end()) throw DecodeError(std::string("missing field `") + key + "`");
  return *it;
}

}  // namespace

std::string newer_version_message(uint64_t found) {
  return "Файл сохранён более новой версией Calcora (формат v" + std::to_string(found) +
         ", эта версия приложения поддерживает до v" + std::to_string(kClcxVersionSupported) + "). Обновите Calcora.";
}

std::string encode_clcx(const SaveEstimatePayload& estimate) {
  Json file = Json::object();
  file["version"] = kClcxVersionWritten;
  file["metadata"] = Json{{"object_name", estimate.estimate.object_name},
                          {"created_at", estimate.estimate.created_at},
                          {"updated_at", estimate.estimate.updated_at},
                          {"customer", nullptr},
                          // What a colleague needs to go on calculating: the mode with its mask and the
                          // calculator variables that quantity formulas use. Older files lack them.
                          {"mode", estimate.estimate.mode},
                          {"mode_mask_json", to_json_or_null(estimate.estimate.mode_mask_json)},
                          {"calc_params_json", to_json_or_null(estimate.estimate.calc_params_json)}};
  file["columns_template"] =
      Json::array({column_def("num", "№", "number"), column_def("name", "Наименование", "text"),
                   column_def("unit", "Ед.изм.", "text"), column_def("quantity", "Объем", "number"),
                   column_def("unit_price", "Стоимость", "currency"), column_def("total", "Сумма", "formula")});
  Json rows = Json::array();
  for (const auto& line : estimate.lines) rows.push_back(to_json(line));
  file["rows"] = std::move(rows);
  file["footer"] = to_json(estimate.footer);
  // Texts from the database are UTF-8; a stray invalid byte is replaced rather than failing the export.
  return gzip_compress(file.dump(-1, ' ', false, Json::error_handler_t::replace));
}

ImportedEstimate decode_clcx(std::string_view file_bytes, size_t max_content_bytes) {
  const std::string text = gzip_decompress(file_bytes, max_content_bytes);
  if (auto estimate = read_clcx_directly(text)) return std::move(*estimate);
  return decode_clcx_document(text);
}

ImportedEstimate decode_clcx_document(std::string_view text) {
  Json content;
  try {
    content = Json::parse(text);
  } catch (const Json::exception& e) {
    throw CommandError(parser_reason(e));
  }
  try {
    const uint64_t version = probe_version(content);
    if (version > kClcxVersionSupported) throw CommandError(newer_version_message(version));

    ImportedEstimate out;
    const Json& metadata = required_member(content, "metadata");
    {
      RecordReader r(metadata);
      out.object_name = r.required<std::string>("object_name");
      r.required<std::string>("created_at");
      r.required<std::string>("updated_at");
      r.optional<std::string>("customer");
      if (auto mode = r.optional<std::string>("mode")) out.mode = std::move(*mode);
      out.mode_mask_json = r.optional<std::string>("mode_mask_json");
      out.calc_params_json = r.optional<std::string>("calc_params_json");
    }
    const Json& columns = required_member(content, "columns_template");
    if (!columns.is_array()) throw_invalid_type(columns, "a sequence");
    for (const auto& column : columns) {
      RecordReader r(column);
      r.required<std::string>("id");
      r.required<std::string>("title");
      r.required<std::string>("kind");
    }
    out.lines = decode_value<std::vector<EstimateLine>>(required_member(content, "rows"));
    out.footer = decode_value<EstimateFooter>(required_member(content, "footer"));
    return out;
  } catch (const DecodeError& e) {
    throw CommandError(e.what());
  }
}

}  // namespace calcora
