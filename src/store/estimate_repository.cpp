// Reading one stored estimate, and the row readers shared with the estimate
// list.
#include "store/estimate_repository.h"

#include <string>

namespace calcora {

Estimate read_estimate_row(const Statement& st, int c) {
  Estimate e;
  e.id = st.int64(c + 0);
  e.object_name = st.text(c + 1);
  e.created_at = st.text(c + 2);
  e.updated_at = st.text(c + 3);
  e.mode = st.text(c + 4);
  e.mode_mask_json = st.opt_text(c + 5);
  e.calc_params_json = st.opt_text(c + 6);
  e.kp_json = st.opt_text(c + 7);
  return e;
}

EstimateLine read_line_row(const Statement& st, int c) {
  EstimateLine l;
  l.id = st.opt_int64(c + 0);
  l.estimate_id = st.int64(c + 1);
  l.sort_order = static_cast<int32_t>(st.int64(c + 2));
  l.line_type = st.text(c + 3);
  l.name = st.text(c + 4);
  l.unit = st.opt_text(c + 5);
  l.quantity = st.opt_real(c + 6);
  l.unit_price = st.opt_real(c + 7);
  l.fixed_total = st.opt_real(c + 8);
  l.catalog_item_id = st.opt_int64(c + 9);
  l.name_bold = st.int64(c + 10) != 0;
  l.category = st.text(c + 11);
  l.format_json = st.opt_text(c + 12);
  l.sku = st.opt_text(c + 13);
  l.cost_price = st.opt_real(c + 14);
  l.formula = st.opt_text(c + 15);
  return l;
}

EstimateFooter read_footer_row(const Statement& st, int c) {
  EstimateFooter f;
  f.estimate_id = st.int64(c + 0);
  f.materials = st.real(c + 1);
  f.delivery = st.real(c + 2);
  f.advance = st.real(c + 3);
  f.show_materials = st.int64(c + 4) != 0;
  f.show_delivery = st.int64(c + 5) != 0;
  f.show_advance = st.int64(c + 6) != 0;
  f.markup_formula = st.opt_text(c + 7);
  f.extras_json = st.opt_text(c + 8);
  return f;
}

Estimate read_estimate_header(Database& db, int64_t id) {
  static const std::string sql = std::string("SELECT ") + kEstimateColumns + " FROM estimates WHERE id = ?1";
  Statement& st = db.cached(sql);
  st.bind(1, id);
  if (!st.step()) throw DbError(kNoRowsMessage);
  Estimate e = read_estimate_row(st);
  st.reset();  // ends the read at once rather than at the statement's next use
  return e;
}

std::vector<EstimateLine> read_estimate_lines(Database& db, int64_t id) {
  // The row id breaks ties so that lines with equal sort orders keep the order
  // they were saved in.
  static const std::string sql =
      std::string("SELECT ") + kLineColumns + " FROM estimate_lines WHERE estimate_id = ?1 ORDER BY sort_order, id";
  Statement& st = db.cached(sql);
  st.bind(1, id);
  std::vector<EstimateLine> lines;
  while (st.step()) lines.push_back(read_line_row(st));
  return lines;
}

EstimateFooter read_estimate_footer(Database& db, int64_t id) {
  static const std::string sql =
      std::string("SELECT ") + kFooterColumns + " FROM estimate_footers WHERE estimate_id = ?1";
  try {
    Statement& st = db.cached(sql);
    st.bind(1, id);
    if (!st.step()) return default_footer(id);
    EstimateFooter f = read_footer_row(st);
    st.reset();
    return f;
  } catch (const DbError&) {
    // A footer never fails a read: the estimate is still shown with the default
    // footer.
    return default_footer(id);
  }
}

SaveEstimatePayload read_estimate(Database& db, int64_t id) {
  SaveEstimatePayload p;
  p.estimate = read_estimate_header(db, id);
  p.lines = read_estimate_lines(db, id);
  p.footer = read_estimate_footer(db, id);
  return p;
}

}  // namespace calcora
