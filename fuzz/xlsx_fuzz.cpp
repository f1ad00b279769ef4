// Workbooks from outside: the zip container, the workbook's sheet order, shared strings and
// sheet XML, then the estimate and catalog layouts read from the cells. Small caps make
// oversized parts fail fast instead of timing out.
#include "exchange/catalog_table.h"
#include "exchange/estimate_workbook_import.h"
#include "exchange/xlsx_reader.h"
#include "fuzz_support.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace calcora;
  const auto path = fuzz::scratch_file("book.xlsx", fuzz::as_text(data, size));
  XlsxLimits limits;
  limits.max_part_bytes = 8 << 20;
  limits.max_shared_strings_bytes = 4 << 20;
  limits.max_cells = 200'000;
  fuzz::expect_clean([&] {
    SheetArea area = read_first_sheet(path, limits);
    fuzz::expect_clean([&] { estimate_from_sheet(area); });
    // The same cells taken as the sheet of hidden records: whatever they hold, nothing breaks.
    fuzz::expect_clean([&] { estimate_from_sheet(area, &area); });
    auto rows = std::move(area).take_rows();
    fuzz::expect_clean([&] { catalog_table_from_rows(rows); });
  });
  return 0;
}
