// The numbers of a finished workbook in the form every file of the program uses. libxlsxwriter
// spells a number cell's value with 16 significant digits ("%.16G"), which shows the binary noise
// of values such as 9250223.711063 (written 9250223.711062999); the cells are rewritten in the
// shortest text of the value rounded to 15 significant digits, as spreadsheets show numbers.
#pragma once

#include <filesystem>
#include <string>
#include <string_view>

namespace calcora {

// The worksheet part with the value of every number cell (no `t` attribute, or t="n"), formula
// results included, written by number_text; everything else byte for byte as it was.
std::string shorten_sheet_numbers(std::string_view sheet_xml);

// Rewrites the worksheet parts (xl/worksheets/*.xml) of the workbook file at `path` in place.
// Throws CommandError with the archive library's text.
void shorten_workbook_numbers(const std::filesystem::path& path);

}  // namespace calcora
