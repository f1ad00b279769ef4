#include "exchange/imported_estimate.h"

#include <cmath>
#include <optional>
#include <string>

#include "common/errors.h"
#include "common/number_text.h"
#include "common/time_stamp.h"
#include "store/estimate_writes.h"
#include "store/unicode_lower.h"

namespace calcora {

namespace {

// The link when the local item with that id carries the line's name (ignoring letter case).
std::optional<int64_t> verified_catalog_link(Database& db, const EstimateLine& line) {
  if (!line.catalog_item_id) return std::nullopt;
  static const std::string sql = "SELECT name FROM catalog_items WHERE id = ?1";
  Statement& st = db.cached(sql);
  st.bind(1, *line.catalog_item_id);
  std::optional<int64_t> link;
  if (st.step() && unicode_lower(st.text(0)) == unicode_lower(line.name)) link = line.catalog_item_id;
  st.reset();
  return link;
}

void check_number(const std::optional<double>& value, const std::string& where) {
  if (value && std::isfinite(*value) && std::fabs(*value) > kNumberLimit)
    throw CommandError(std::string(kImportedNumberTooLargeMessage) + ": " + where + ", " + number_text(*value));
}

// Figures beyond reason are refused whole rather than stored: a misread column or a typing slip
// would otherwise show as totals that no field can hold.
void check_numbers(const ImportedEstimate& estimate) {
  for (size_t i = 0; i < estimate.lines.size(); ++i) {
    const EstimateLine& l = estimate.lines[i];
    const std::string where = "позиция " + std::to_string(i + 1) + " «" + l.name + "»";
    for (const auto& v : {l.quantity, l.unit_price, l.fixed_total, l.cost_price}) check_number(v, where);
  }
  const EstimateFooter& f = estimate.footer;
  for (double v : {f.materials, f.delivery, f.advance}) check_number(v, "итоги сметы");
}

}  // namespace

int64_t insert_imported_estimate(Database& db, const ImportedEstimate& estimate) {
  check_numbers(estimate);
  const std::string now = utc_now_stamp();
  Transaction tx(db);
  db.cached("INSERT INTO estimates (object_name, created_at, updated_at, mode) VALUES (?1, ?2, ?2, 'simple')")
      .bind_all(estimate.object_name, now)
      .run();
  const int64_t id = db.last_insert_rowid();

  int32_t sort_order = 0;
  insert_line_copies(db, id, estimate.lines, [&](EstimateLine& written, const EstimateLine& line) {
    written.sort_order = sort_order++;
    written.catalog_item_id = verified_catalog_link(db, line);
  });

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
