// Stores an estimate that arrives from a file (a workbook or an exchange file) as a new
// estimate: header, lines and footer in one transaction, so a failure leaves nothing behind.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "store/database.h"
#include "store/estimate_records.h"

namespace calcora {

struct ImportedEstimate {
  std::string object_name;
  // The mode and the calculator settings, where the file carries them (our own files only).
  std::string mode = "simple";
  std::optional<std::string> mode_mask_json;
  std::optional<std::string> calc_params_json;
  std::vector<EstimateLine> lines;  // in display order; sort_order is renumbered 0, 1, 2, …
  EstimateFooter footer;            // its estimate_id is ignored
};

inline constexpr const char* kImportedNumberTooLargeMessage = "В файле число больше 1 000 000 000 000 по модулю";

// Inserts the estimate with the current time as both time stamps and returns its id. A quantity,
// price or amount beyond kNumberLimit refuses the whole import (the message names the line). Lines get
// new ids; quantity formulas that name a line of the same file by its old id ("line:<id>.qty")
// are rewritten to the new id. A catalog link is kept only where the local catalog item with
// that id has the same name ignoring letter case, since the id comes from another database and
// may name nothing or something unrelated here; otherwise the line is linked to the local item
// of its name, if there is one.
int64_t insert_imported_estimate(Database& db, const ImportedEstimate& estimate);

}  // namespace calcora
