// The estimate as a semicolon-separated UTF-8 table: the named lines with their sums, then the
// subtotals, the grand total and the optional rows as plain values.
#pragma once

#include <string>

#include "calc/totals.h"
#include "store/estimate_records.h"

namespace calcora {

// The whole file: byte order mark, header, records separated by line feeds, none after the last.
std::string estimate_csv_text(const SaveEstimatePayload& estimate, const EstimateTotals& totals);

}  // namespace calcora
