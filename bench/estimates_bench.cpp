// Figures for the estimate store: saving a 1,000-line estimate beside a bare delete + insert of
// the same rows, and listing 1,000 estimates × 50 lines with totals beside one grouped scan.
// Each figure is the median of several runs, measured in the same run as its floor.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <random>
#include <string>
#include <vector>

#include "commands/dispatcher.h"
#include "store/estimate_list.h"
#include "store/estimate_records.h"
#include "store/estimate_writes.h"

namespace calcora {
namespace {

// Runs the contenders in turn, round after round, so that the machine's changing load falls on
// all of them alike; gives each one's median in milliseconds.
std::vector<double> interleaved_medians(int rounds, const std::vector<std::function<void()>>& contenders) {
  std::vector<std::vector<double>> times(contenders.size());
  for (const auto& work : contenders) work();  // warm the statement cache and the page cache
  for (int r = 0; r < rounds; ++r) {
    for (size_t i = 0; i < contenders.size(); ++i) {
      auto start = std::chrono::steady_clock::now();
      contenders[i]();
      times[i].push_back(std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count());
    }
  }
  std::vector<double> medians;
  for (auto& t : times) {
    std::sort(t.begin(), t.end());
    medians.push_back(t[t.size() / 2]);
  }
  return medians;
}

EstimateLine make_line(int i) {
  static const char* kCategories[] = {"work", "material", "equipment"};
  EstimateLine l;
  l.sort_order = i;
  l.line_type = i % 20 == 0 ? "section" : (i % 7 == 0 ? "fixed" : "full");
  l.name = "Кладка перегородок из газобетона, позиция " + std::to_string(i);
  l.unit = "м²";
  l.quantity = 1.5 + i % 13;
  l.unit_price = 100.0 + i % 97;
  if (l.line_type == "fixed") l.fixed_total = 1200;
  l.category = kCategories[i % 3];
  if (i % 10 == 3) l.format_json = R"({"bold":true,"color":"#c00"})";
  if (i % 25 == 5) l.formula = "line:1.qty * 2";
  return l;
}

SaveEstimatePayload make_payload(int64_t id, int lines) {
  SaveEstimatePayload p;
  p.estimate.id = id;
  p.estimate.object_name = "Дом";
  p.footer = default_footer(id);
  p.footer.markup_formula = "работы * 0.1";
  p.footer.extras_json = R"([{"id":"a","label":"Подъём","amount":250,"enabled":true}])";
  for (int i = 0; i < lines; ++i) p.lines.push_back(make_line(i));
  return p;
}

void bare_replace(Database& db, int64_t id, const std::vector<EstimateLine>& lines) {
  Transaction tx(db);
  db.cached("DELETE FROM estimate_lines WHERE estimate_id = ?1").bind(1, id).run();
  for (const auto& l : lines) {
    db.cached(
          "INSERT INTO estimate_lines (estimate_id, sort_order, line_type, name, unit, quantity, unit_price, "
          "fixed_total, catalog_item_id, name_bold, category, format_json, sku, cost_price, formula) "
          "VALUES (?1, ?2, ?3, ?4, ?5, ?6, ?7, ?8, ?9, ?10, ?11, ?12, ?13, ?14, ?15)")
        .bind_all(id, l.sort_order, l.line_type, l.name, l.unit, l.quantity, l.unit_price, l.fixed_total,
                  l.catalog_item_id, l.name_bold, l.category, l.format_json, l.sku, l.cost_price, l.formula)
        .run();
  }
  tx.commit();
}

void bench_save(const std::filesystem::path& dir) {
  AppState state(dir / "save.db", Database::open(dir / "save.db"));
  Dispatcher dispatcher(state);
  int64_t id = state.with_db([](Database& db) { return insert_new_estimate(db, "Дом"); });
  SaveEstimatePayload payload = make_payload(id, 1000);
  // The page sends back the ids it was given, as it does on every autosave.
  auto stored = dispatcher.dispatch("save_estimate", Json{{"payload", to_json(payload)}});
  Json args = {{"payload", Json::parse(stored.body)}};

  auto m = interleaved_medians(31, {[&] { state.with_db([&](Database& db) { bare_replace(db, id, payload.lines); }); },
                                    [&] { state.with_db([&](Database& db) { save_estimate_whole(db, payload); }); },
                                    [&] {
                                      if (!dispatcher.dispatch("save_estimate", args).ok) std::abort();
                                    }});
  double floor = m[0], store = m[1], command = m[2];
  std::printf("save 1,000 lines: floor (bare delete + insert) %.2f ms\n", floor);
  std::printf("  store write (header, kept ids, lines, footer)  %.2f ms  = %.2f x floor\n", store, store / floor);
  std::printf("  save_estimate command (decode, write, read back, encode)  %.2f ms  = %.2f x floor\n", command,
              command / floor);
}

void bench_list(const std::filesystem::path& dir) {
  AppState state(dir / "list.db", Database::open(dir / "list.db"));
  Dispatcher dispatcher(state);
  state.with_db([](Database& db) {
    Transaction tx(db);
    for (int e = 0; e < 1000; ++e) {
      int64_t id = insert_new_estimate(db, "Объект " + std::to_string(e));
      SaveEstimatePayload p = make_payload(id, 50);
      for (auto& l : p.lines) {
        db.cached(
              "INSERT INTO estimate_lines (estimate_id, sort_order, line_type, name, unit, quantity, unit_price, "
              "fixed_total, category, format_json, formula) VALUES (?1, ?2, ?3, ?4, ?5, ?6, ?7, ?8, ?9, ?10, ?11)")
            .bind_all(id, l.sort_order, l.line_type, l.name, l.unit, l.quantity, l.unit_price, l.fixed_total,
                      l.category, l.format_json, l.formula)
            .run();
      }
      db.cached("UPDATE estimate_footers SET markup_formula = ?1, extras_json = ?2 WHERE estimate_id = ?3")
          .bind_all(p.footer.markup_formula, p.footer.extras_json, id)
          .run();
    }
    tx.commit();
  });

  double checksum = 0;
  auto m = interleaved_medians(
      15, {[&] {
             state.with_db([&](Database& db) {
               auto st = db.prepare(
                   "SELECT estimate_id, sum(CASE line_type WHEN 'section' THEN 0 WHEN 'quantity_only' THEN 0 "
                   "WHEN 'fixed' THEN coalesce(fixed_total, 0) "
                   "ELSE coalesce(quantity, 0) * coalesce(unit_price, 0) END) "
                   "FROM estimate_lines GROUP BY estimate_id");
               while (st.step()) checksum += st.real(1);
             });
           },
           [&] { state.with_db([&](Database& db) { checksum += list_estimate_summaries(db).size(); }); },
           [&] {
             if (!dispatcher.dispatch("list_estimates", Json::object()).ok) std::abort();
           }});
  double floor = m[0], store = m[1], command = m[2];
  std::printf("list 1,000 estimates x 50 lines: floor (one grouped scan) %.2f ms\n", floor);
  std::printf("  estimate list with native totals  %.2f ms  = %.2f x floor\n", store, store / floor);
  std::printf("  list_estimates command (with JSON encoding)  %.2f ms  = %.2f x floor\n", command, command / floor);
  if (checksum < 0) std::printf("%f\n", checksum);
}

}  // namespace
}  // namespace calcora

int main() {
  std::random_device rd;
  auto dir = std::filesystem::temp_directory_path() / ("calcora-bench-" + std::to_string(rd()));
  std::filesystem::create_directories(dir);
  calcora::bench_save(dir);
  calcora::bench_list(dir);
  std::filesystem::remove_all(dir);
  return 0;
}
