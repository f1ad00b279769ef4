// The exchange file's JSON read while it is scanned, beside the reading through a document: a
// content the scan takes must give what the document gives, and one the document refuses must
// not be taken by the scan. Seeds: fuzz/corpus/clcx_content/.
#include <cstdlib>
#include <string>

#include "exchange/clcx_direct_read.h"
#include "exchange/clcx_file.h"
#include "fuzz_support.h"

namespace {

std::string described(const calcora::ImportedEstimate& e) {
  calcora::Json lines = calcora::Json::array();
  for (const auto& line : e.lines) lines.push_back(calcora::to_json(line));
  return calcora::Json{{"object_name", e.object_name},
                       {"mode", e.mode},
                       {"mode_mask_json", calcora::to_json_or_null(e.mode_mask_json)},
                       {"calc_params_json", calcora::to_json_or_null(e.calc_params_json)},
                       {"lines", lines},
                       {"footer", calcora::to_json(e.footer)}}
      .dump();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace calcora;
  const std::string text(fuzz::as_text(data, size));
  const auto scanned = read_clcx_directly(text);
  if (!scanned) return 0;
  try {
    if (described(decode_clcx_document(text)) != described(*scanned)) std::abort();
  } catch (const CommandError&) {
    std::abort();
  }
  return 0;
}
