// The estimate as a workbook for the customer: one table of lines whose sums are live formulas,
// the subtotals below it as numbers and the grand total as a sum formula over them.
#pragma once

#include <filesystem>

#include "calc/totals.h"
#include "store/estimate_records.h"

namespace calcora {

// Writes the workbook to `path` in one step; throws CommandError with the writer's or the file
// system's text.
void write_estimate_workbook(const SaveEstimatePayload& estimate, const EstimateTotals& totals,
                             const std::filesystem::path& path);

}  // namespace calcora
