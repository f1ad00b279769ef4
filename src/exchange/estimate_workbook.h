// The estimate as a workbook for the customer: one table of lines whose sums are live formulas,
// the subtotals below it as numbers and the grand total as a sum formula over them.
#pragma once

#include <filesystem>

#include "calc/totals.h"
#include "store/estimate_records.h"

namespace calcora {

// Whether the workbook also carries, out of sight, what its visible cells cannot show so that
// the program reads the estimate back whole (workbook_carrier.h). Left out only to compare
// what a spreadsheet program shows of a workbook with and without it.
enum class HiddenValues { kCarried, kLeftOut };

// Writes the workbook to `path` in one step; throws CommandError with the writer's or the file
// system's text.
void write_estimate_workbook(const SaveEstimatePayload& estimate, const EstimateTotals& totals,
                             const std::filesystem::path& path, HiddenValues hidden = HiddenValues::kCarried);

}  // namespace calcora
