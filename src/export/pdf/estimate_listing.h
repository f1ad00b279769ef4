// The printed listing of a stored estimate: one text line per named estimate line, then
// the totals, cut into A4 pages of 58 body lines under the estimate's title.
#pragma once

#include <string>
#include <string_view>

#include "calc/totals.h"
#include "export/pdf/pdf_document.h"
#include "store/estimate_records.h"

namespace calcora::pdf {

inline constexpr size_t kBodyLinesPerPage = 58;
inline constexpr size_t kPrintedNameChars = 48;
// The print font when the page sends none.
inline constexpr std::string_view kDefaultPrintFont = "system-ui";

// Serif for the serif families of the page's font list, sans for any other name.
FontChoice font_for_name(std::string_view font_name);

Document estimate_document(const SaveEstimatePayload& estimate, const EstimateTotals& totals,
                           std::string_view print_font);

}  // namespace calcora::pdf
