#include "store/unicode_lower.h"

#include <unicode/ucasemap.h>

#include <memory>

#include "common/errors.h"

namespace calcora {

namespace {

struct CaseMapDeleter {
  void operator()(UCaseMap* m) const { ucasemap_close(m); }
};

UCaseMap* root_case_map() {
  // One map per thread: UCaseMap is not safe to share, and creating it costs more than lowering a name.
  thread_local std::unique_ptr<UCaseMap, CaseMapDeleter> map = [] {
    UErrorCode status = U_ZERO_ERROR;
    std::unique_ptr<UCaseMap, CaseMapDeleter> m(ucasemap_open("", U_FOLD_CASE_DEFAULT, &status));
    if (U_FAILURE(status)) throw std::runtime_error("ICU case map unavailable");
    return m;
  }();
  return map.get();
}

void sql_lower(sqlite3_context* ctx, int argc, sqlite3_value** argv) {
  if (argc != 1 || sqlite3_value_type(argv[0]) == SQLITE_NULL) {
    sqlite3_result_null(ctx);
    return;
  }
  auto text = reinterpret_cast<const char*>(sqlite3_value_text(argv[0]));
  int n = sqlite3_value_bytes(argv[0]);
  try {
    std::string lowered = unicode_lower(std::string_view(text, static_cast<size_t>(n)));
    sqlite3_result_text64(ctx, lowered.data(), lowered.size(), SQLITE_TRANSIENT, SQLITE_UTF8);
  } catch (const std::exception& e) {
    sqlite3_result_error(ctx, e.what(), -1);
  }
}

}  // namespace

std::string unicode_lower(std::string_view utf8) {
  // ASCII fast path: most catalog names are Cyrillic, but units and SKUs are often plain ASCII.
  bool ascii = true;
  for (unsigned char c : utf8)
    if (c >= 0x80) {
      ascii = false;
      break;
    }
  if (ascii) {
    std::string out(utf8);
    for (char& c : out)
      if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    return out;
  }
  std::string out(utf8.size() + 16, '\0');
  UErrorCode status = U_ZERO_ERROR;
  int32_t n = ucasemap_utf8ToLower(root_case_map(), out.data(), static_cast<int32_t>(out.size()), utf8.data(),
                                   static_cast<int32_t>(utf8.size()), &status);
  if (status == U_BUFFER_OVERFLOW_ERROR) {
    out.assign(static_cast<size_t>(n), '\0');
    status = U_ZERO_ERROR;
    n = ucasemap_utf8ToLower(root_case_map(), out.data(), static_cast<int32_t>(out.size()), utf8.data(),
                             static_cast<int32_t>(utf8.size()), &status);
  }
  if (U_FAILURE(status)) return std::string(utf8);  // invalid UTF-8: compare as stored
  out.resize(static_cast<size_t>(n));
  return out;
}

void register_unicode_lower(sqlite3* db) {
  int rc = sqlite3_create_function_v2(db, "lower", 1, SQLITE_UTF8 | SQLITE_DETERMINISTIC | SQLITE_INNOCUOUS, nullptr,
                                      sql_lower, nullptr, nullptr, nullptr);
  if (rc != SQLITE_OK) throw DbError(sqlite3_errmsg(db));
}

}  // namespace calcora
