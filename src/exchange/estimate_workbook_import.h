// Reads an estimate back from a workbook laid out like the program's own export: the name in the
// second column of the first row, a header row, one row per line, labelled amounts below. A
// workbook that carries the export's whole footer block ("Работы", "Материалы", "Техника" …
// "Общий итог") comes back with the same line types and grand total; other workbooks give
// their lines by which cells are filled and three recognised footer amounts.
#pragma once

#include "exchange/imported_estimate.h"
#include "exchange/xlsx_reader.h"

namespace calcora {

inline constexpr const char* kDefaultImportedName = "Импортированная смета";
inline constexpr const char* kNoNamesMessage =
    "Книга не похожа на смету: во втором столбце нет наименований позиций";
inline constexpr const char* kNoNumbersMessage =
    "Книга не похожа на смету: у большинства строк нет количества, цены или суммы";

// The estimate that the sheet's used area describes. Cells that do not convert count as absent.
// A sheet in another layout fails with kNoNamesMessage (rows below the header, none with a
// name) or kNoNumbersMessage (most named rows without a quantity, price or sum). `carrier` is the
// workbook's sheet of hidden records, when it has one (workbook_carrier.h): rows that still carry
// theirs come back as they were exported.
ImportedEstimate estimate_from_sheet(const SheetArea& area, const SheetArea* carrier = nullptr);

}  // namespace calcora
