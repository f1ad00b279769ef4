// Name suggestions and the catalog list on a 100,000-item catalog, each beside the raw
// SQLite floor of the same query measured in the same run.
#include <benchmark/benchmark.h>

#include <filesystem>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "commands/dispatcher.h"
#include "store/database.h"
#include "store/standard_catalog.h"

namespace calcora {
namespace {

constexpr int kItems = 100000;

// The typical two-word queries of someone typing a line name.
const char* const kQueries[] = {"бетон м3", "кабель ввг", "монтаж двер", "труба ппр", "штукатурка стен"};

// One catalog for every benchmark: realistic names (standard names with sizes, makers and
// series), inserted plainly with the index rebuilt once at the end.
struct BigCatalog {
  std::filesystem::path dir;
  std::unique_ptr<AppState> state;
  std::unique_ptr<Dispatcher> dispatcher;

  BigCatalog() {
    dir = std::filesystem::temp_directory_path() / ("calcora-bench-" + std::to_string(std::random_device()()));
    auto db = Database::open(dir / "calcora.db");
    std::string trigger_sql;
    {
      auto st = db->prepare("SELECT sql FROM sqlite_master WHERE name = 'catalog_ai'");
      st.step();
      trigger_sql = st.text(0);
    }
    db->exec("DROP TRIGGER catalog_ai");
    const auto bases = parse_standard_catalog(embedded_standard_catalog_text());
    const char* const makers[] = {"Кнауф", "Ceresit", "Технониколь", "Rehau", "Legrand", "IEK", "Valtec", "Grand Line"};
    const char* const sizes[] = {"d20", "d25", "50×50", "100×200", "3×1,5", "М200", "М300", "25 кг", "10 л", "1,2 м"};
    std::mt19937 rng(2026);
    {
      Transaction tx(*db);
      auto insert = db->prepare(
          "INSERT INTO catalog_items (name, unit, default_price, line_type, category, usage_count) "
          "VALUES (?1, ?2, ?3, ?4, ?5, ?6)");
      for (int i = 0; i < kItems; ++i) {
        const auto& base = bases[rng() % bases.size()];
        std::string name = base.name + " " + sizes[rng() % std::size(sizes)] + " " + makers[rng() % std::size(makers)] +
                           " серия " + std::to_string(i % 997);
        insert.bind_all(name, base.unit, base.price, base.line_type, base.category, static_cast<int64_t>(rng() % 50))
            .run();
      }
      tx.commit();
    }
    db->exec(trigger_sql);
    db->exec("INSERT INTO catalog_fts(catalog_fts) VALUES('rebuild')");
    state = std::make_unique<AppState>(dir / "calcora.db", std::move(db));
    dispatcher = std::make_unique<Dispatcher>(*state);
  }
  ~BigCatalog() {
    dispatcher.reset();
    state.reset();
    std::error_code ec;
    std::filesystem::remove_all(dir, ec);
  }
};

BigCatalog& catalog() {
  static BigCatalog instance;
  return instance;
}

void run_command(benchmark::State& bench, const char* command, const Json& args) {
  auto& c = catalog();
  size_t bytes = 0;
  for (auto _ : bench) {
    auto outcome = c.dispatcher->dispatch(command, args);
    if (!outcome.ok) bench.SkipWithError(outcome.body.c_str());
    bytes = outcome.body.size();
    benchmark::DoNotOptimize(outcome);
  }
  bench.counters["answer_bytes"] = static_cast<double>(bytes);
}

// Steps through a query with the bare C interface, touching every column of every row.
void run_raw(benchmark::State& bench, const std::string& sql, const std::string& param) {
  auto& c = catalog();
  c.state->with_db([&](Database& db) {
    sqlite3_stmt* st = nullptr;
    if (sqlite3_prepare_v2(db.handle(), sql.c_str(), -1, &st, nullptr) != SQLITE_OK) {
      bench.SkipWithError(sqlite3_errmsg(db.handle()));
      return;
    }
    size_t rows = 0;
    for (auto _ : bench) {
      if (!param.empty()) sqlite3_bind_text(st, 1, param.c_str(), -1, SQLITE_STATIC);
      rows = 0;
      while (sqlite3_step(st) == SQLITE_ROW) {
        for (int col = 0; col < 10; ++col) benchmark::DoNotOptimize(sqlite3_column_text(st, col));
        ++rows;
      }
      sqlite3_reset(st);
    }
    sqlite3_finalize(st);
    bench.counters["rows"] = static_cast<double>(rows);
  });
}

void BM_SearchMemory(benchmark::State& bench) {
  run_command(bench, "search_memory", Json{{"query", kQueries[bench.range(0)]}});
  bench.SetLabel(kQueries[bench.range(0)]);
}

void BM_SearchMemoryRawFloor(benchmark::State& bench) {
  // The same join and order with a match expression built by hand.
  static const char* const kExpressions[] = {R"("бетон"* AND "м3"*)", R"("кабель"* AND "ввг"*)",
                                             R"("монтаж"* AND "двер"*)", R"("труба"* AND "ппр"*)",
                                             R"("штукатурка"* AND "стен"*)"};
  run_raw(bench,
          "SELECT c.id, c.name, c.unit, c.default_price, c.line_type, c.category, c.usage_count, c.last_used, c.sku, "
          "c.cost_price FROM catalog_fts f LEFT JOIN catalog_fts_docsize s ON s.id = f.rowid "
          "JOIN catalog_items c ON c.id = f.rowid WHERE catalog_fts MATCH ?1 "
          "ORDER BY memory_rank(catalog_fts, s.sz), c.usage_count DESC, c.id LIMIT 5",
          kExpressions[bench.range(0)]);
  bench.SetLabel(kQueries[bench.range(0)]);
}

void BM_ListCatalogAll(benchmark::State& bench) { run_command(bench, "list_catalog", Json{{"query", nullptr}}); }

void BM_ListCatalogAllRawFloor(benchmark::State& bench) {
  run_raw(bench,
          "SELECT id, name, unit, default_price, line_type, category, usage_count, last_used, sku, cost_price "
          "FROM catalog_items ORDER BY name",
          "");
}

void BM_ListCatalogFiltered(benchmark::State& bench) { run_command(bench, "list_catalog", Json{{"query", "кабель"}}); }

void BM_ListCatalogFilteredRawFloor(benchmark::State& bench) {
  // SQLite's own LIKE without the Unicode lower-casing: what the filter costs without it.
  run_raw(bench,
          "SELECT id, name, unit, default_price, line_type, category, usage_count, last_used, sku, cost_price "
          "FROM catalog_items WHERE name LIKE ?1 ORDER BY name LIMIT 50",
          "%Кабель%");
}

constexpr const char* kKnownName = "кабель ввгнг 3×1,5 d20 iek серия 1";

void BM_SaveToGlobalMemoryKnownName(benchmark::State& bench) {
  run_command(bench, "save_to_global_memory", Json{{"name", kKnownName}});
}

void BM_SaveToGlobalMemoryKnownNameRawFloor(benchmark::State& bench) {
  // Counting the use of an item whose id is already known and reading it back: the work left
  // once the name is found.
  auto& c = catalog();
  auto saved = c.dispatcher->dispatch("save_to_global_memory", Json{{"name", kKnownName}});
  if (!saved.ok) return bench.SkipWithError(saved.body.c_str());
  const int64_t id = Json::parse(saved.body)["id"].get<int64_t>();
  c.state->with_db([&](Database& db) {
    sqlite3_stmt* update = nullptr;
    sqlite3_stmt* read = nullptr;
    sqlite3_prepare_v2(db.handle(),
                       "UPDATE catalog_items SET usage_count = usage_count + 1, last_used = ?1, updated_at = ?1 "
                       "WHERE id = ?2",
                       -1, &update, nullptr);
    sqlite3_prepare_v2(db.handle(),
                       "SELECT id, name, unit, default_price, line_type, category, usage_count, last_used, sku, "
                       "cost_price FROM catalog_items WHERE id = ?1",
                       -1, &read, nullptr);
    for (auto _ : bench) {
      sqlite3_bind_text(update, 1, "2026-01-02T03:04:05Z", -1, SQLITE_STATIC);
      sqlite3_bind_int64(update, 2, id);
      sqlite3_step(update);
      sqlite3_reset(update);
      sqlite3_bind_int64(read, 1, id);
      while (sqlite3_step(read) == SQLITE_ROW)
        for (int col = 0; col < 10; ++col) benchmark::DoNotOptimize(sqlite3_column_text(read, col));
      sqlite3_reset(read);
    }
    sqlite3_finalize(update);
    sqlite3_finalize(read);
  });
}

#define MEDIAN_OF_5 Unit(benchmark::kMillisecond)->Repetitions(5)->DisplayAggregatesOnly(true)
BENCHMARK(BM_SearchMemory)->DenseRange(0, 4)->MEDIAN_OF_5;
BENCHMARK(BM_SearchMemoryRawFloor)->DenseRange(0, 4)->MEDIAN_OF_5;
BENCHMARK(BM_ListCatalogAll)->MEDIAN_OF_5;
BENCHMARK(BM_ListCatalogAllRawFloor)->MEDIAN_OF_5;
BENCHMARK(BM_ListCatalogFiltered)->MEDIAN_OF_5;
BENCHMARK(BM_ListCatalogFilteredRawFloor)->MEDIAN_OF_5;
BENCHMARK(BM_SaveToGlobalMemoryKnownName)->MEDIAN_OF_5;
BENCHMARK(BM_SaveToGlobalMemoryKnownNameRawFloor)->MEDIAN_OF_5;

}  // namespace
}  // namespace calcora

BENCHMARK_MAIN();
