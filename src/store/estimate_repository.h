// Reading stored estimates: one estimate whole (header, lines in sort order,
// footer), and the row readers that the estimate list and the exports share.
// Database failures throw DbError.
#pragma once

#include <cstdint>
#include <vector>

#include "store/database.h"
#include "store/estimate_records.h"

namespace calcora {

// Column lists, in the order the row readers below expect them.
inline constexpr const char* kEstimateColumns =
    "id, object_name, created_at, updated_at, mode, mode_mask_json, "
    "calc_params_json, kp_json";
inline constexpr const char* kLineColumns =
    "id, estimate_id, sort_order, line_type, name, unit, quantity, unit_price, "
    "fixed_total, catalog_item_id, "
    "name_bold, category, format_json, sku, cost_price, formula";
inline constexpr const char* kFooterColumns =
    "estimate_id, materials, delivery, advance, show_materials, show_delivery, "
    "show_advance, markup_formula, "
    "extras_json";

// Row readers for statements that select the column lists above, starting at
// column `first`.
Estimate read_estimate_row(const Statement& st, int first = 0);
EstimateLine read_line_row(const Statement& st, int first = 0);
EstimateFooter read_footer_row(const Statement& st, int first = 0);

// The header; throws DbError("Query returned no rows") when the id has no row.
Estimate read_estimate_header(Database& db, int64_t id);
// The lines ordered by sort_order (equal sort orders keep their stored order).
std::vector<EstimateLine> read_estimate_lines(Database& db, int64_t id);
// The stored footer, or the default footer when the row is missing or cannot be
// read.
EstimateFooter read_estimate_footer(Database& db, int64_t id);
// Header, lines and footer together.
SaveEstimatePayload read_estimate(Database& db, int64_t id);

}  // namespace calcora
