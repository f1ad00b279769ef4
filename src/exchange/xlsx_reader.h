// Reads the first worksheet of an Office Open XML workbook (.xlsx) into typed cells:
// the values as stored in the file (formula cells give their saved result, nothing is
// recomputed), limited to the sheet's used area. Works from the zip container with libzip
// and streams each XML part through expat, so the size caps below hold memory in check
// whatever the archive claims about itself.
#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace calcora {

enum class CellKind { kEmpty, kNumber, kText, kBool, kDate, kError };

struct Cell {
  CellKind kind = CellKind::kEmpty;
  double number = 0;  // kNumber, kDate (the serial day number) and kBool (0 or 1)
  std::string text;   // kText, and the error code of kError ("#DIV/0!")
  // The cell holds a formula; its value is the result stored with it, kEmpty when the writer
  // stored none (as openpyxl does).
  bool formula = false;
};

// The used area: the rectangle from the first row and column holding a value to the last.
class SheetArea {
 public:
  size_t row_count() const { return rows_.size(); }
  // The cell at area row `row`, area column `col`; an empty cell outside what was stored.
  const Cell& at(size_t row, size_t col) const;
  // Position of the area's top-left corner in the sheet (0-based).
  uint32_t first_row() const { return first_row_; }
  uint32_t first_col() const { return first_col_; }
  // Hands the rows over (row k of the area, cells from the area's first column).
  std::vector<std::vector<Cell>> take_rows() && { return std::move(rows_); }

 private:
  friend class SheetBuilder;
  uint32_t first_row_ = 0;
  uint32_t first_col_ = 0;
  std::vector<std::vector<Cell>> rows_;
};

// Caps on what one workbook may make the reader inflate or hold. Exceeding one is an error
// with a clear text, never an exhausted machine.
struct XlsxLimits {
  size_t max_part_bytes = size_t(1) << 30;             // uncompressed size of any one XML part
  size_t max_shared_strings_bytes = size_t(64) << 20;  // all shared string texts together
  size_t max_cells = 2'000'000;                        // cells with a value in the sheet
};

// The first worksheet in workbook order. Throws CommandError with a text for the user: the
// file cannot be opened, is not a workbook, is damaged, exceeds a cap, or has no sheet
// ("no sheet").
SheetArea read_first_sheet(const std::filesystem::path& path, const XlsxLimits& limits = {});

inline constexpr const char* kNoSheetMessage = "no sheet";

struct FirstSheetAndNamed {
  SheetArea first;
  std::optional<SheetArea> named;  // absent when no later sheet has that name
};

// The first worksheet as read_first_sheet gives it, and a later sheet of the given name.
FirstSheetAndNamed read_first_sheet_and(const std::filesystem::path& path, std::string_view other_name,
                                        const XlsxLimits& limits = {});

}  // namespace calcora
