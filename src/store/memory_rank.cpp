#include "store/memory_rank.h"

#include <cmath>
#include <memory>
#include <vector>

#include "common/errors.h"

namespace calcora {

namespace {

// The index's bm25 constants.
constexpr double kBm25K1 = 1.2;
constexpr double kBm25B = 0.75;

// What one query's rows share: the average name length and each phrase's rarity.
struct QueryFigures {
  double average_length = 0;
  std::vector<double> idf;
};

int count_row(const Fts5ExtensionApi*, Fts5Context*, void* count) {
  ++*static_cast<sqlite3_int64*>(count);
  return SQLITE_OK;
}

int query_figures(const Fts5ExtensionApi* api, Fts5Context* fts, QueryFigures& figures) {
  sqlite3_int64 rows = 0;
  sqlite3_int64 tokens = 0;
  int rc = api->xRowCount(fts, &rows);
  if (rc == SQLITE_OK) rc = api->xColumnTotalSize(fts, -1, &tokens);
  figures.average_length = static_cast<double>(tokens) / static_cast<double>(rows);
  for (int i = 0, n = api->xPhraseCount(fts); rc == SQLITE_OK && i < n; ++i) {
    sqlite3_int64 hits = 0;
    rc = api->xQueryPhrase(fts, i, &hits, count_row);
    double idf = std::log((static_cast<double>(rows - hits) + 0.5) / (static_cast<double>(hits) + 0.5));
    figures.idf.push_back(idf <= 0.0 ? 1e-6 : idf);
  }
  return rc;
}

// The first varint of a size record: the word count of the only indexed column.
int word_count(sqlite3_value* size_record) {
  const auto* bytes = static_cast<const unsigned char*>(sqlite3_value_blob(size_record));
  const int n = sqlite3_value_bytes(size_record);
  unsigned value = 0;
  for (int i = 0, shift = 0; i < n && shift < 32; ++i, shift += 7) {
    value |= static_cast<unsigned>(bytes[i] & 0x7f) << shift;
    if (!(bytes[i] & 0x80)) break;
  }
  return static_cast<int>(value);
}

// The same sums, in the same order of operations, as the index's bm25, so scores tie and
// differ exactly where bm25's do.
void memory_rank(const Fts5ExtensionApi* api, Fts5Context* fts, sqlite3_context* ctx, int argc, sqlite3_value** argv) {
  auto* figures = static_cast<QueryFigures*>(api->xGetAuxdata(fts, 0));
  if (!figures) {
    auto fresh = std::make_unique<QueryFigures>();
    if (int rc = query_figures(api, fts, *fresh); rc != SQLITE_OK) return sqlite3_result_error_code(ctx, rc);
    figures = fresh.get();
    int rc = api->xSetAuxdata(fts, fresh.release(), [](void* p) { delete static_cast<QueryFigures*>(p); });
    if (rc != SQLITE_OK) return sqlite3_result_error_code(ctx, rc);
  }
  int length = 0;
  if (argc > 0 && sqlite3_value_type(argv[0]) == SQLITE_BLOB) {
    length = word_count(argv[0]);
  } else if (int rc = api->xColumnSize(fts, -1, &length); rc != SQLITE_OK) {
    return sqlite3_result_error_code(ctx, rc);
  }
  const double d = length;
  double score = 0.0;
  for (size_t i = 0; i < figures->idf.size(); ++i) {
    Fts5PhraseIter it;
    int column = 0;
    int offset = 0;
    double hits = 0.0;
    if (int rc = api->xPhraseFirst(fts, static_cast<int>(i), &it, &column, &offset); rc != SQLITE_OK)
      return sqlite3_result_error_code(ctx, rc);
    for (; column >= 0; api->xPhraseNext(fts, &it, &column, &offset)) hits += 1.0;
    score += figures->idf[i] * ((hits * (kBm25K1 + 1.0)) / (hits + kBm25K1 * (1 - kBm25B + kBm25B * d / figures->average_length)));
  }
  sqlite3_result_double(ctx, -1.0 * score);
}

}  // namespace

void register_memory_rank(sqlite3* db) {
  fts5_api* api = nullptr;
  sqlite3_stmt* st = nullptr;
  if (sqlite3_prepare_v2(db, "SELECT fts5(?1)", -1, &st, nullptr) != SQLITE_OK) throw DbError(sqlite3_errmsg(db));
  sqlite3_bind_pointer(st, 1, &api, "fts5_api_ptr", nullptr);
  sqlite3_step(st);
  sqlite3_finalize(st);
  if (!api || api->xCreateFunction(api, "memory_rank", nullptr, memory_rank, nullptr) != SQLITE_OK)
    throw DbError("the full-text index is unavailable");
}

}  // namespace calcora
