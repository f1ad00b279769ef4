#include "exchange/imported_estimate.h"

#include <cmath>
#include <optional>
#include <string>
#include <unordered_map>

#include "common/errors.h"
#include "common/number_text.h"
#include "common/time_stamp.h"
#include "store/estimate_writes.h"
#include "store/unicode_lower.h"

namespace calcora {

namespace {

// Links of lines that arrive from another database, checked against this one's catalog.
class CatalogLinks {
 public:
  explicit CatalogLinks(Database& db) : db_(db) {}

  // The line's link when the local item of that id carries the line's name (ignoring letter
  // case); else the local item of that name; else none. Lines without a link stay without one.
  std::optional<int64_t> checked(const EstimateLine& line) {
    if (!line.catalog_item_id) return std::nullopt;
    const std::string name = unicode_lower(line.name);
    Statement& st = db_.cached("SELECT name FROM catalog_items WHERE id = ?1");
    st.bind(1, *line.catalog_item_id);
    const bool same = st.step() && unicode_lower(st.text(0)) == name;
    st.reset();
    if (same) return line.catalog_item_id;
    return by_name(name);
  }

 private:
  // One pass over the catalog, made only when a link has to be found by name.
  std::optional<int64_t> by_name(const std::string& lowered) {
    if (!ids_by_name_) {
      ids_by_name_.emplace();
      Statement& all = db_.cached("SELECT id, name FROM catalog_items ORDER BY id");
      while (all.step()) ids_by_name_->emplace(unicode_lower(all.text(1)), all.int64(0));  // the earliest wins
      all.reset();
    }
    auto it = ids_by_name_->find(lowered);
    if (it == ids_by_name_->end()) return std::nullopt;
    return it->second;
  }

  Database& db_;
  std::optional<std::unordered_map<std::string, int64_t>> ids_by_name_;
};

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
  db.cached(
        "INSERT INTO estimates (object_name, created_at, updated_at, mode, mode_mask_json, calc_params_json) "
        "VALUES (?1, ?2, ?2, ?3, ?4, ?5)")
      .bind_all(estimate.object_name, now, estimate.mode, estimate.mode_mask_json, estimate.calc_params_json)
      .run();
  const int64_t id = db.last_insert_rowid();

  int32_t sort_order = 0;
  CatalogLinks links(db);
  insert_line_copies(db, id, estimate.lines, [&](EstimateLine& written, const EstimateLine& line) {
    written.sort_order = sort_order++;
    written.catalog_item_id = links.checked(line);
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
