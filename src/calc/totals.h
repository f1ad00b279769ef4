// The money figures of an estimate, computed from its lines and footer by the
// same rule the page uses live: line sums into works, materials and equipment,
// the footer's add-ons, the markup formula, the grand total and the remainder
// after the advance. Nothing is rounded.
#pragma once

#include <optional>
#include <span>
#include <string>

#include "commands/json.h"
#include "store/estimate_records.h"

namespace calcora {

struct EstimateTotals {
  double works = 0;
  double materials = 0;  // the materials add-on included when it is switched on
  double equipment = 0;
  double delivery = 0;  // 0 when delivery is switched off
  double extras = 0;
  double markup = 0;  // 0 when the formula is blank or does not evaluate; may be infinite
  double grand = 0;
  double advance = 0;  // the footer's advance as stored
  double balance = 0;  // grand less the advance when the advance is switched on
};

// The sum of one line by its type: fixed lines their fixed total, sections and
// quantity-only lines nothing, every other type quantity × unit price (absent
// values count 0).
double line_sum(const EstimateLine& line);

// The sum of the enabled extra sums in a footer's extras_json. Only `amount`
// (missing: 0) and `enabled` (missing: true) of each element are read; text
// that is absent, blank or not an array of such objects counts 0 as a whole.
double extras_sum(const std::optional<std::string>& extras_json);

EstimateTotals compute_totals(std::span<const EstimateLine> lines, const EstimateFooter& footer);

// The nine figures in order; non-finite figures as null.
Json to_json(const EstimateTotals& totals);

}  // namespace calcora
