#include <unicode/uchar.h>
#include <unicode/ucasemap.h>
#include <unicode/utf8.h>

#include <memory>
#include <stdexcept>

#include "store/unicode_data.h"

namespace calcora::unicode {

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

}  // namespace

int32_t next_code_point(std::string_view text, size_t& i) {
  const auto* bytes = reinterpret_cast<const uint8_t*>(text.data());
  int32_t at = static_cast<int32_t>(i);
  UChar32 c;
  U8_NEXT(bytes, at, static_cast<int32_t>(text.size()), c);
  i = static_cast<size_t>(at);
  return c;
}

std::string utf8_of(int32_t c) {
  char bytes[U8_MAX_LENGTH];
  int32_t n = 0;
  U8_APPEND_UNSAFE(bytes, n, c);
  return std::string(bytes, static_cast<size_t>(n));
}

int general_category(int32_t c) { return u_charType(c); }
int32_t simple_lower(int32_t c) { return u_tolower(c); }
int32_t simple_upper(int32_t c) { return u_toupper(c); }
bool is_cased(int32_t c) { return u_hasBinaryProperty(c, UCHAR_CASED); }
bool is_case_ignorable(int32_t c) { return u_hasBinaryProperty(c, UCHAR_CASE_IGNORABLE); }

std::string full_lower(std::string_view text) {
  std::string out(text.size() + 16, '\0');
  UErrorCode status = U_ZERO_ERROR;
  int32_t n = ucasemap_utf8ToLower(root_case_map(), out.data(), static_cast<int32_t>(out.size()), text.data(),
                                   static_cast<int32_t>(text.size()), &status);
  if (status == U_BUFFER_OVERFLOW_ERROR) {
    out.assign(static_cast<size_t>(n), '\0');
    status = U_ZERO_ERROR;
    n = ucasemap_utf8ToLower(root_case_map(), out.data(), static_cast<int32_t>(out.size()), text.data(),
                             static_cast<int32_t>(text.size()), &status);
  }
  if (U_FAILURE(status)) return std::string(text);  // invalid UTF-8: compare as stored
  out.resize(static_cast<size_t>(n));
  return out;
}

}  // namespace calcora::unicode
