// Reads a CSV file that a user offers as a catalog: UTF-8 text, ";" or "," as separator, fields
// optionally enclosed in double quotes. Every field becomes a text cell.
#pragma once

#include <string_view>
#include <vector>

#include "exchange/xlsx_reader.h"

namespace calcora {

inline constexpr const char* kNotUtf8Message = "stream did not contain valid UTF-8";

// The records as rows of text cells. The separator is ";" when the first line contains one and
// "," otherwise. A leading byte order mark is dropped; empty lines give no record. Throws
// CommandError("stream did not contain valid UTF-8") for text in another encoding.
std::vector<std::vector<Cell>> parse_csv_table(std::string_view text);

}  // namespace calcora
