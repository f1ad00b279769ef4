// The estimate list: every estimate's header with its grand total, most recently changed first.
#pragma once

#include <vector>

#include "store/database.h"
#include "store/estimate_records.h"

namespace calcora {

// Reads all headers, all footers and all lines in three scans (lines ordered by estimate and
// sort order) and computes each estimate's totals from its group of lines. An estimate without
// a readable footer gets the totals of the default footer; a failure reading lines fails.
std::vector<EstimateSummary> list_estimate_summaries(Database& db);

}  // namespace calcora
