// The estimate list with native totals, without one query per estimate.
#include "store/estimate_list.h"

#include <span>
#include <string>
#include <unordered_map>

#include "calc/totals.h"
#include "store/estimate_repository.h"

namespace calcora {

namespace {

std::unordered_map<int64_t, EstimateFooter> read_all_footers(Database& db) {
  std::unordered_map<int64_t, EstimateFooter> footers;
  try {
    Statement st = db.prepare(std::string("SELECT ") + kFooterColumns + " FROM estimate_footers");
    while (st.step()) {
      EstimateFooter f = read_footer_row(st);
      footers.emplace(f.estimate_id, std::move(f));
    }
  } catch (const DbError&) {
    // Footers never fail a read; every estimate then counts with the default footer.
    footers.clear();
  }
  return footers;
}

}  // namespace

std::vector<EstimateSummary> list_estimate_summaries(Database& db) {
  std::vector<EstimateSummary> summaries;
  std::unordered_map<int64_t, size_t> index_of;
  {
    Statement st =
        db.prepare(std::string("SELECT ") + kEstimateColumns + " FROM estimates ORDER BY updated_at DESC, id DESC");
    while (st.step()) {
      Estimate e = read_estimate_row(st);
      index_of.emplace(e.id, summaries.size());
      summaries.push_back(
          {e.id, std::move(e.object_name), std::move(e.created_at), std::move(e.updated_at), 0, std::move(e.mode)});
    }
  }
  auto footers = read_all_footers(db);
  auto settle = [&](int64_t estimate_id, std::span<const EstimateLine> lines) {
    auto at = index_of.find(estimate_id);
    if (at == index_of.end()) return;
    auto f = footers.find(estimate_id);
    EstimateTotals totals = compute_totals(lines, f != footers.end() ? f->second : default_footer(estimate_id));
    summaries[at->second].total = totals.grand;
    index_of.erase(at);  // settled
  };

  // Only the fields the totals read are selected; the group's line records are reused from one
  // estimate to the next so that their strings keep their buffers.
  Statement st = db.prepare(
      "SELECT estimate_id, line_type, quantity, unit_price, fixed_total, category FROM estimate_lines "
      "ORDER BY estimate_id, sort_order, id");
  std::vector<EstimateLine> group;
  size_t count = 0;
  int64_t current = 0;
  while (st.step()) {
    int64_t estimate_id = st.int64(0);
    if (count > 0 && estimate_id != current) {
      settle(current, std::span(group.data(), count));
      count = 0;
    }
    current = estimate_id;
    if (count == group.size()) group.emplace_back();
    EstimateLine& line = group[count++];
    line.estimate_id = estimate_id;
    line.line_type = st.text(1);
    line.quantity = st.opt_real(2);
    line.unit_price = st.opt_real(3);
    line.fixed_total = st.opt_real(4);
    line.category = st.text(5);
  }
  if (count > 0) settle(current, std::span(group.data(), count));
  // Estimates without lines still have their footer's add-ons, extras and markup.
  std::vector<int64_t> without_lines;
  for (const auto& entry : index_of) without_lines.push_back(entry.first);
  for (int64_t estimate_id : without_lines) settle(estimate_id, {});
  return summaries;
}

}  // namespace calcora
