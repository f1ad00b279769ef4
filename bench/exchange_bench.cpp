// Figures for the exchange formats, each beside a floor measured in the same run: the workbook
// export and import of 10,000 lines, the catalog import of 100,000 rows, and the exchange file
// of 1,000 lines. Each figure is the median of a few rounds; set-up is outside the timing. An
// import and its floors run in turn, round after round, so that the load falls on them alike.
#include <xlsxwriter.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <functional>
#include <random>
#include <string>
#include <vector>

#include "bench_support.h"
#include "commands/dispatcher.h"
#include "common/file_io.h"
#include "common/utf8_path.h"
#include "exchange/catalog_import.h"
#include "exchange/clcx_file.h"
#include "exchange/estimate_workbook_import.h"
#include "exchange/gzip_codec.h"
#include "exchange/imported_estimate.h"
#include "exchange/xlsx_reader.h"
#include "store/estimate_repository.h"

namespace calcora {
namespace {

namespace fs = std::filesystem;

// Median milliseconds of `work` over `rounds`, with `setup` run untimed before each round.
double median_ms(
    int rounds, const std::function<void()>& work, const std::function<void()>& setup = [] {}) {
  std::vector<double> times;
  for (int r = 0; r < rounds; ++r) {
    setup();
    auto start = std::chrono::steady_clock::now();
    work();
    times.push_back(std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count());
  }
  std::sort(times.begin(), times.end());
  return times[times.size() / 2];
}

void report(const char* what, const char* size, double ms, const char* floor_what, double floor_ms) {
  std::printf("%-44s %9.1f ms   floor (%s) %9.1f ms   ×%.2f\n", what, ms, floor_what, floor_ms, ms / floor_ms);
  bench::report_row(what, size, ms, floor_ms);
}

ImportedEstimate sample_estimate(int lines) {
  ImportedEstimate e;
  e.object_name = "Ремонт квартиры";
  for (int i = 0; i < lines; ++i) {
    EstimateLine l;
    l.id = i + 1;
    l.line_type = i % 20 == 0 ? "section" : (i % 7 == 0 ? "fixed" : "full");
    l.name = "Кладка перегородок из газобетона, позиция " + std::to_string(i);
    l.unit = "м²";
    l.quantity = 1.5 + i % 13;
    l.unit_price = 100.0 + i % 97;
    if (l.line_type == "fixed") l.fixed_total = 1200;
    l.category = i % 3 == 0 ? "material" : "work";
    if (i % 10 == 3) l.format_json = R"({"bold":true})";
    e.lines.push_back(l);
  }
  e.footer.show_materials = true;
  e.footer.materials = 500;
  return e;
}

// The bare library: the same number of cells written with libxlsxwriter, nothing else.
void raw_workbook(const fs::path& path, int lines) {
  lxw_workbook* book = workbook_new(narrow_path_for_c_library(path).c_str());
  lxw_worksheet* sheet = workbook_add_worksheet(book, "Лист1");
  for (int r = 0; r < lines; ++r) {
    worksheet_write_number(sheet, r, 0, r + 1, nullptr);
    worksheet_write_string(sheet, r, 1, "Кладка перегородок из газобетона", nullptr);
    worksheet_write_string(sheet, r, 2, "м²", nullptr);
    worksheet_write_number(sheet, r, 3, 2.5, nullptr);
    worksheet_write_number(sheet, r, 4, 100, nullptr);
    worksheet_write_formula(sheet, r, 5, "=D1*$E$1", nullptr);
  }
  workbook_close(book);
}

// Storing an estimate's lines at the bare minimum: one transaction, one statement prepared once,
// every column bound without copies; then taken away again (untimed). The cost an import pays
// whatever it does around it. Gives the milliseconds.
double bare_store_ms(Database& db, const std::vector<EstimateLine>& lines) {
  sqlite3* h = db.handle();
  auto start = std::chrono::steady_clock::now();
  sqlite3_exec(h, "BEGIN", nullptr, nullptr, nullptr);
  sqlite3_exec(h, "INSERT INTO estimates (object_name, created_at, updated_at, mode) VALUES ('x', 'now', 'now', 'simple')",
               nullptr, nullptr, nullptr);
  const int64_t id = sqlite3_last_insert_rowid(h);
  sqlite3_stmt* st = nullptr;
  sqlite3_prepare_v2(h,
                     "INSERT INTO estimate_lines (id, estimate_id, sort_order, line_type, name, unit, quantity, "
                     "unit_price, fixed_total, catalog_item_id, name_bold, category, format_json, sku, cost_price, "
                     "formula) VALUES (NULL, ?1, ?2, ?3, ?4, ?5, ?6, ?7, ?8, NULL, ?9, ?10, ?11, ?12, ?13, ?14)",
                     -1, &st, nullptr);
  auto text = [&](int i, const std::optional<std::string>& v) {
    v ? sqlite3_bind_text(st, i, v->data(), static_cast<int>(v->size()), SQLITE_STATIC) : sqlite3_bind_null(st, i);
  };
  auto real = [&](int i, const std::optional<double>& v) {
    v ? sqlite3_bind_double(st, i, *v) : sqlite3_bind_null(st, i);
  };
  int order = 0;
  for (const auto& l : lines) {
    sqlite3_bind_int64(st, 1, id);
    sqlite3_bind_int(st, 2, order++);
    text(3, l.line_type);
    text(4, l.name);
    text(5, l.unit);
    real(6, l.quantity);
    real(7, l.unit_price);
    real(8, l.fixed_total);
    sqlite3_bind_int(st, 9, l.name_bold);
    text(10, l.category);
    text(11, l.format_json);
    text(12, l.sku);
    real(13, l.cost_price);
    text(14, l.formula);
    sqlite3_step(st);
    sqlite3_reset(st);
  }
  sqlite3_finalize(st);
  sqlite3_exec(h, ("INSERT INTO estimate_footers (estimate_id) VALUES (" + std::to_string(id) + ")").c_str(), nullptr,
               nullptr, nullptr);
  sqlite3_exec(h, "COMMIT", nullptr, nullptr, nullptr);
  const double ms = std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
  sqlite3_exec(h, ("DELETE FROM estimates WHERE id = " + std::to_string(id)).c_str(), nullptr, nullptr, nullptr);
  return ms;
}

// Milliseconds that `work` takes.
double timed(const std::function<void()>& work) {
  auto start = std::chrono::steady_clock::now();
  work();
  return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
}

// Medians of contenders run in turn, round after round, so that the machine's changing load falls
// on all of them alike. Each contender gives its own time, keeping its set-up and clean-up out.
std::vector<double> interleaved_ms(int rounds, const std::vector<std::function<double()>>& contenders) {
  std::vector<std::vector<double>> times(contenders.size());
  for (int r = 0; r < rounds; ++r)
    for (size_t i = 0; i < contenders.size(); ++i) times[i].push_back(contenders[i]());
  std::vector<double> medians;
  for (auto& t : times) {
    std::sort(t.begin(), t.end());
    medians.push_back(t[t.size() / 2]);
  }
  return medians;
}

}  // namespace
}  // namespace calcora

int main() {
  using namespace calcora;
  const fs::path dir = fs::temp_directory_path() / ("calcora-exchange-bench-" + std::to_string(std::random_device{}()));
  fs::create_directories(dir);
  {
    AppState state(dir / "calcora.db", Database::open(dir / "calcora.db"));
    Dispatcher dispatcher(state);
    auto run = [&](const char* command, const Json& args) {
      auto outcome = dispatcher.dispatch(command, args);
      if (!outcome.ok) std::fprintf(stderr, "%s: %s\n", command, outcome.body.c_str());
      return outcome;
    };
    auto call = [&](const char* command, const Json& args) {
      auto outcome = run(command, args);
      return outcome.ok ? Json::parse(outcome.body) : Json();
    };

    // Workbook export and import of 10,000 lines.
    const int64_t big =
        state.with_db([](Database& db) { return insert_imported_estimate(db, sample_estimate(10000)); });
    const fs::path book = dir / "big.xlsx";
    const double export_ms = median_ms(5, [&] {
      call("export_estimate_xlsx", {{"id", big}, {"path", path_utf8(book)}});
    });
    const double raw_export_ms = median_ms(5, [&] { raw_workbook(dir / "raw.xlsx", 10000); });
    report("workbook export", "10,000 lines", export_ms, "libxlsxwriter, 60,000 cells", raw_export_ms);
    int64_t imported = 0;
    const std::vector<EstimateLine> book_lines = estimate_from_sheet(read_first_sheet(book)).lines;
    const auto book_ms = interleaved_ms(
        7,
        {[&] {
           if (imported) call("delete_estimate", {{"id", imported}});
           return timed([&] { imported = call("import_estimate_xlsx", {{"path", path_utf8(book)}}).get<int64_t>(); });
         },
         [&] { return timed([&] { read_first_sheet(book); }); },
         [&] { return state.with_db([&](Database& db) { return bare_store_ms(db, book_lines); }); }});
    report("workbook import", "10,000 lines", book_ms[0], "reading the sheet only", book_ms[1]);
    // The lines must be stored too: a second floor adds their bare storing to the reading.
    report("workbook import, beside reading + bare storing", "10,000 lines", book_ms[0], "reading + bare storing",
           book_ms[1] + book_ms[2]);

    // Exchange file of 1,000 lines.
    const int64_t mid = state.with_db([](Database& db) { return insert_imported_estimate(db, sample_estimate(1000)); });
    const fs::path clcx = dir / "mid.clcx";
    const double clcx_export_ms = median_ms(9, [&] {
      call("export_estimate_clcx", {{"id", mid}, {"path", path_utf8(clcx)}});
    });
    const SaveEstimatePayload payload = state.with_db([&](Database& db) { return read_estimate(db, mid); });
    const double gzip_ms = median_ms(9, [&] { gzip_compress(to_json(payload).dump()); });
    report("exchange export", "1,000 lines", clcx_export_ms, "JSON text + gzip only", gzip_ms);
    Json last, unpacked;
    const std::string clcx_bytes = read_whole_file(clcx);
    const std::vector<EstimateLine> clcx_lines = decode_clcx(clcx_bytes).lines;
    const auto clcx_ms = interleaved_ms(
        11, {[&] {
               if (!last.is_null()) call("delete_estimate", {{"id", last["estimate"]["id"]}});
               // The command alone: its answer, the whole estimate as text, is parsed untimed (the
               // page's work, not the import's).
               CommandOutcome outcome;
               const double ms = timed([&] { outcome = run("import_estimate_clcx", {{"path", path_utf8(clcx)}}); });
               last = outcome.ok ? Json::parse(outcome.body) : Json();
               return ms;
             },
             [&] { return timed([&] { unpacked = Json::parse(gzip_decompress(clcx_bytes, size_t(1) << 30)); }); },
             [&] { return state.with_db([&](Database& db) { return bare_store_ms(db, clcx_lines); }); }});
    report("exchange import", "1,000 lines", clcx_ms[0], "gunzip + JSON parse only", clcx_ms[1]);
    report("exchange import, beside unpacking + bare storing", "1,000 lines", clcx_ms[0], "unpacking + bare storing",
           clcx_ms[1] + clcx_ms[2]);
  }
  {
    // Catalog import of 100,000 rows into an empty catalog.
    AppState state(dir / "catalog.db", Database::open(dir / "catalog.db"));
    std::string csv = "Артикул;Наименование;Ед;Цена\n";
    for (int i = 0; i < 100000; ++i)
      csv += "A" + std::to_string(i) + ";Кабель ВВГнг-LS 3х2,5 партия " + std::to_string(i) + ";м;" +
             std::to_string(80 + i % 50) + ",5\n";
    write_file_atomically(dir / "price.csv", csv);
    auto empty_catalog = [&] { state.with_db([](Database& db) { db.exec("DELETE FROM catalog_items"); }); };
    auto bare_insert = [&](bool with_triggers) {
      state.with_db([&](Database& db) {
        Transaction tx(db);
        if (!with_triggers) db.exec("DROP TRIGGER catalog_ai");
        auto st = db.prepare(
            "INSERT INTO catalog_items (name, unit, default_price, line_type, category, sku, created_at, updated_at) "
            "VALUES (?1, 'м', ?2, 'full', 'material', ?3, 'now', 'now')");
        for (int i = 0; i < 100000; ++i)
          st.bind_all("Кабель ВВГнг-LS 3х2,5 партия " + std::to_string(i), 80.5, "A" + std::to_string(i)).run();
        if (!with_triggers) {
          db.exec("INSERT INTO catalog_fts(catalog_fts) VALUES('rebuild')");
          db.exec(
              "CREATE TRIGGER catalog_ai AFTER INSERT ON catalog_items BEGIN INSERT INTO catalog_fts(rowid, name) "
              "VALUES (new.id, new.name); END");
        }
        tx.commit();
      });
    };
    const double triggers_ms = median_ms(
        3, [&] { bare_insert(true); }, empty_catalog);
    const auto catalog_ms = interleaved_ms(
        3, {[&] {
              empty_catalog();
              return timed([&] { state.with_db([&](Database& db) { import_catalog_file(db, dir / "price.csv"); }); });
            },
            [&] {
              empty_catalog();
              return timed([&] { bare_insert(false); });
            }});
    report("catalog import", "100,000 rows", catalog_ms[0], "bare inserts + one index rebuild", catalog_ms[1]);
    std::printf("%-44s %9.1f ms\n", "  bare inserts through the index triggers", triggers_ms);
  }
  std::error_code ec;
  fs::remove_all(dir, ec);
  return 0;
}
