// Reads a CSV file that a user offers as a catalog: UTF-8 text, ";", "," or a tab as separator,
// fields optionally enclosed in double quotes. Every field becomes a text cell.
#pragma once

#include <cstddef>
#include <functional>
#include <string_view>
#include <vector>

#include "exchange/xlsx_reader.h"

namespace calcora {

inline constexpr const char* kNotUtf8Message = "stream did not contain valid UTF-8";

// The records as rows of text cells. The separator is ";" when the first line contains one and
// "," otherwise. A leading byte order mark is dropped; empty lines give no record. Throws
// CommandError("stream did not contain valid UTF-8") for text in another encoding.
std::vector<std::vector<Cell>> parse_csv_table(std::string_view text);

// Whether a record, split at some separator, is the header row of a table.
using CsvHeaderTest = std::function<bool(const std::vector<Cell>&)>;

// A supplier's price list may open with a title, a date or an address above its header row,
// and the title may hold any separator. The header row is the first of the first `search`
// records that passes `is_header` when split at ";", "," or a tab (tried in that order); that
// separator splits the whole file and the records above the header are dropped. Without such a
// record the file reads as parse_csv_table(text) does.
std::vector<std::vector<Cell>> parse_csv_table(std::string_view text, const CsvHeaderTest& is_header,
                                               size_t search = 10);

}  // namespace calcora
