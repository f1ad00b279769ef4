// Writing estimates. Every statement that runs once per line is prepared once per connection.
#include "store/estimate_writes.h"

#include <unordered_map>
#include <unordered_set>

#include "calc/line_references.h"
#include "common/time_stamp.h"

namespace calcora {

namespace {

constexpr const char* kInsertLine =
    "INSERT INTO estimate_lines (id, estimate_id, sort_order, line_type, name, unit, quantity, unit_price, "
    "fixed_total, catalog_item_id, name_bold, category, format_json, sku, cost_price, formula) "
    "VALUES (?1, ?2, ?3, ?4, ?5, ?6, ?7, ?8, ?9, ?10, ?11, ?12, ?13, ?14, ?15, ?16)";

// Inserts one line for `estimate_id` with `st`, the statement of kInsertLine (looked up once per
// estimate, not per line); a null `id` lets the database choose a new one.
int64_t insert_line(Database& db, Statement& st, std::optional<int64_t> id, int64_t estimate_id,
                    const EstimateLine& l, std::optional<double> quantity) {
  st.bind_all_borrowed(id, estimate_id, l.sort_order, l.line_type, l.name, l.unit, quantity, l.unit_price,
                       l.fixed_total, l.catalog_item_id, l.name_bold, l.category, l.format_json, l.sku, l.cost_price,
                       l.formula);
  st.run();
  return db.last_insert_rowid();
}

// A savepoint: a transaction of its own when none is open, or a nested one inside the caller's
// (an import writing several estimates). Either way a failure undoes exactly this write.
class WriteScope {
 public:
  explicit WriteScope(Database& db) : db_(db) { db_.exec("SAVEPOINT estimate_write"); }
  ~WriteScope() {
    if (!done_)
      sqlite3_exec(db_.handle(), "ROLLBACK TO estimate_write; RELEASE estimate_write", nullptr, nullptr, nullptr);
  }
  WriteScope(const WriteScope&) = delete;
  WriteScope& operator=(const WriteScope&) = delete;
  void commit() {
    db_.exec("RELEASE estimate_write");
    done_ = true;
  }

 private:
  Database& db_;
  bool done_ = false;
};

}  // namespace

int64_t insert_new_estimate(Database& db, const std::string& object_name) {
  std::string now = utc_now_stamp();
  // One transaction, so that a failure cannot leave a new estimate without its footer.
  WriteScope tx(db);
  db.cached("INSERT INTO estimates (object_name, created_at, updated_at, mode) VALUES (?1, ?2, ?2, 'simple')")
      .bind_all(object_name, now)
      .run();
  int64_t id = db.last_insert_rowid();
  db.cached("INSERT INTO estimate_footers (estimate_id) VALUES (?1)").bind(1, id).run();
  tx.commit();
  return id;
}

void save_estimate_whole(Database& db, const SaveEstimatePayload& payload) {
  const Estimate& e = payload.estimate;
  const EstimateFooter& f = payload.footer;
  const int64_t id = e.id;
  std::string now = utc_now_stamp();

  WriteScope tx(db);
  db.cached(
        "UPDATE estimates SET object_name = ?1, updated_at = ?2, mode = ?3, mode_mask_json = ?4, "
        "calc_params_json = ?5, kp_json = ?6 WHERE id = ?7")
      .bind_all(e.object_name, now, e.mode, e.mode_mask_json, e.calc_params_json, e.kp_json, id)
      .run();

  std::unordered_set<int64_t> reusable_ids;
  {
    Statement& st = db.cached("SELECT id FROM estimate_lines WHERE estimate_id = ?1");
    st.bind(1, id);
    while (st.step()) reusable_ids.insert(st.int64(0));
  }
  db.cached("DELETE FROM estimate_lines WHERE estimate_id = ?1").bind(1, id).run();

  Statement& insert = db.cached(kInsertLine);
  for (const auto& line : payload.lines) {
    // Each old id is given back once; a second line sent with the same id gets a new one.
    std::optional<int64_t> keep;
    if (line.id && reusable_ids.erase(*line.id) > 0) keep = line.id;
    insert_line(db, insert, keep, id, line, line.quantity);
  }

  db.cached(
        "INSERT INTO estimate_footers (estimate_id, materials, delivery, advance, show_materials, show_delivery, "
        "show_advance, markup_formula, extras_json) VALUES (?1, ?2, ?3, ?4, ?5, ?6, ?7, ?8, ?9) "
        "ON CONFLICT(estimate_id) DO UPDATE SET materials = excluded.materials, delivery = excluded.delivery, "
        "advance = excluded.advance, show_materials = excluded.show_materials, "
        "show_delivery = excluded.show_delivery, show_advance = excluded.show_advance, "
        "markup_formula = excluded.markup_formula, extras_json = excluded.extras_json")
      .bind_all(id, f.materials, f.delivery, f.advance, f.show_materials, f.show_delivery, f.show_advance,
                f.markup_formula, f.extras_json)
      .run();
  tx.commit();
}

int64_t insert_estimate_copy(Database& db, const SaveEstimatePayload& source) {
  const Estimate& e = source.estimate;
  const EstimateFooter& f = source.footer;
  std::string now = utc_now_stamp();

  WriteScope tx(db);
  db.cached(
        "INSERT INTO estimates (object_name, created_at, updated_at, mode, mode_mask_json, calc_params_json, "
        "kp_json) VALUES (?1, ?2, ?2, ?3, ?4, ?5, ?6)")
      .bind_all(e.object_name + " - новый объект", now, e.mode, e.mode_mask_json, e.calc_params_json, e.kp_json)
      .run();
  const int64_t copy_id = db.last_insert_rowid();

  insert_line_copies(db, copy_id, source.lines, [](EstimateLine& copy, const EstimateLine&) {
    if (copy.line_type == "full" || copy.line_type == "quantity_only") copy.quantity = 0.0;
  });

  db.cached(
        "INSERT INTO estimate_footers (estimate_id, materials, delivery, advance, show_materials, show_delivery, "
        "show_advance) VALUES (?1, ?2, ?3, ?4, ?5, ?6, ?7)")
      .bind_all(copy_id, f.materials, f.delivery, f.advance, f.show_materials, f.show_delivery, f.show_advance)
      .run();
  tx.commit();
  return copy_id;
}

void insert_line_copies(Database& db, int64_t estimate_id, const std::vector<EstimateLine>& lines,
                        const std::function<void(EstimateLine& copy, const EstimateLine& original)>& adjust) {
  std::unordered_map<int64_t, int64_t> new_ids;
  std::vector<std::pair<int64_t, const std::string*>> with_formula;
  EstimateLine written;  // assigned line after line, so its texts reuse their buffers
  Statement& insert = db.cached(kInsertLine);
  for (const auto& line : lines) {
    written = line;
    adjust(written, line);
    int64_t new_id = insert_line(db, insert, std::nullopt, estimate_id, written, written.quantity);
    if (line.id) new_ids.emplace(*line.id, new_id);
    if (line.formula) with_formula.emplace_back(new_id, &*line.formula);
  }
  // The copies have new ids, so their formulas must name them instead of the original lines.
  for (const auto& [new_id, original] : with_formula) {
    std::string formula = remap_line_references(*original, new_ids);
    if (formula != *original)
      db.cached("UPDATE estimate_lines SET formula = ?1 WHERE id = ?2").bind_all(formula, new_id).run();
  }
}

void delete_estimate_row(Database& db, int64_t id) {
  db.cached("DELETE FROM estimates WHERE id = ?1").bind(1, id).run();
}

}  // namespace calcora
