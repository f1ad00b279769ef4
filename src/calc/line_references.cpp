// Rewriting the ids of line references in quantity formulas.
#include "calc/line_references.h"

#include <charconv>

#include "common/ascii.h"

namespace calcora {

namespace {


}  // namespace

std::string remap_line_references(std::string_view formula, const std::unordered_map<int64_t, int64_t>& new_ids) {
  constexpr std::string_view kPrefix = "line:";
  std::string out;
  out.reserve(formula.size());
  size_t pos = 0;
  while (pos < formula.size()) {
    size_t at = formula.find(kPrefix, pos);
    if (at == std::string_view::npos) break;
    size_t digits = at + kPrefix.size();
    size_t end = digits;
    while (end < formula.size() && is_ascii_digit(formula[end])) ++end;
    std::string_view rest = formula.substr(end);
    bool complete = end > digits && (rest.starts_with(".qty") || rest.starts_with(".price"));
    int64_t id = 0;
    auto [ptr, ec] = std::from_chars(formula.data() + digits, formula.data() + end, id);
    out.append(formula, pos, digits - pos);
    if (complete && ec == std::errc() && ptr == formula.data() + end) {
      auto it = new_ids.find(id);
      if (it != new_ids.end()) {
        out.append(std::to_string(it->second));
        pos = end;
        continue;
      }
    }
    pos = digits;
  }
  out.append(formula, pos);
  return out;
}

}  // namespace calcora
