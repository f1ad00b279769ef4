// Price lists in CSV: encoding check, separator detection, the header row below a title, quotes,
// then the catalog layouts.
#include "exchange/catalog_table.h"
#include "exchange/csv_table.h"
#include "fuzz_support.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace calcora;
  fuzz::expect_clean([&] {
    auto rows = parse_csv_table(fuzz::as_text(data, size));
    fuzz::expect_clean([&] { catalog_table_from_rows(rows); });
    // The header row searched below a title, at each separator.
    fuzz::expect_clean([&] { catalog_table_from_rows(catalog_rows_from_csv(fuzz::as_text(data, size))); });
  });
  return 0;
}
