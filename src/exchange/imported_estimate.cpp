#include "exchange/imported_estimate.h"

#include <optional>
#include <unordered_map>
#include <vector>

#include "calc/line_references.h"
#include "common/time_stamp.h"
#include "store/unicode_lower.h"

namespace calcora {

namespace {

// The link when the local item with that id carries the line's name (ignoring letter case).
std::optional<int64_t> verified_catalog_link(Database& db, const EstimateLine& line) {
  if (!line.catalog_item_id) return std::nullopt;
  Statement& st = db.cached("SELECT name FROM catalog_items WHERE id = ?1");
  st.bind(1, *line.catalog_item_id);
  std::optional<int64_t> link;
  if (st.step() && unicode_lower(st.text(0)) == unicode_lower(line.name)) link = line.catalog_item_id;
  st.reset();
  return link;
}

}  // namespace

int64_t insert_imported_estimate(Database& db, const ImportedEstimate& estimate) {
  const std::string now = utc_now_stamp();
  Transaction tx(db);
  db.cached("INSERT INTO estimates (object_name, created_at, updated_at, mode) VALUES (?1, ?2, ?2, 'simple')")
      .bind_all(estimate.object_name, now)
      .run();
  const int64_t id = db.last_insert_rowid();

  std::unordered_map<int64_t, int64_t> new_ids;
  std::vector<std::pair<int64_t, const EstimateLine*>> with_formula;
  int32_t sort_order = 0;
  for (const auto& l : estimate.lines) {
    db.cached(
          "INSERT INTO estimate_lines (estimate_id, sort_order, line_type, name, unit, quantity, unit_price, "
          "fixed_total, catalog_item_id, name_bold, category, format_json, sku, cost_price, formula) "
          "VALUES (?1, ?2, ?3, ?4, ?5, ?6, ?7, ?8, ?9, ?10, ?11, ?12, ?13, ?14, ?15)")
        .bind_all(id, sort_order++, l.line_type, l.name, l.unit, l.quantity, l.unit_price, l.fixed_total,
                  verified_catalog_link(db, l), l.name_bold, l.category, l.format_json, l.sku, l.cost_price, l.formula)
        .run();
    const int64_t line_id = db.last_insert_rowid();
    if (l.id) new_ids.emplace(*l.id, line_id);
    if (l.formula) with_formula.emplace_back(line_id, &l);
  }
  for (const auto& [line_id, line] : with_formula) {
    std::string formula = remap_line_references(*line->formula, new_ids);
    if (formula != *line->formula)
      db.cached("UPDATE estimate_lines SET formula = ?1 WHERE id = ?2").bind_all(formula, line_id).run();
  }

  const EstimateFooter& f = estimate.footer;
  db.cached(
        "INSERT INTO estimate_footers (estimate_id, materials, delivery, advance, show_materials, show_delivery, "
        "show_advance, markup_formula, extras_json) VALUES (?1, ?2, ?3, ?4, ?5, ?6, ?7, ?8, ?9)")
      .bind_all(id, f.materials, f.delivery, f.advance, f.show_materials, f.show_delivery, f.show_advance,
                f.markup_formula, f.extras_json)
      .run();
  tx.commit();
  return id;
}

}  // namespace calcora
