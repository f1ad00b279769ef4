// The exchange file that carries one estimate to a colleague's copy of the program: one gzip
// member holding compact JSON with a format version, the estimate's name and dates, a fixed
// description of the table's columns, the lines and the footer.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "exchange/imported_estimate.h"
#include "store/estimate_records.h"

namespace calcora {

inline constexpr uint32_t kClcxVersionWritten = 1;
inline constexpr uint32_t kClcxVersionSupported = 1;
// The largest JSON content a file may unpack to; far above any real estimate (a thousand lines
// take about half a megabyte), low enough that a hostile file cannot exhaust the memory.
inline constexpr size_t kClcxMaxContentBytes = size_t(64) << 20;

// The whole file's bytes for a stored estimate.
std::string encode_clcx(const SaveEstimatePayload& estimate);

// Reads a file's bytes: unpacks, checks the version before anything else, then the structure.
// Throws CommandError with the decompressor's, the parser's or the newer-version text.
// Content as the program writes it is read while it is scanned (clcx_direct_read.h); anything
// else goes through decode_clcx_document.
ImportedEstimate decode_clcx(std::string_view file_bytes, size_t max_content_bytes = kClcxMaxContentBytes);

// The same over the unpacked JSON text, through a parsed document: the reference reading, which
// words every error (the parser's, the version's, then the first wrong member's).
ImportedEstimate decode_clcx_document(std::string_view json_text);

// "Файл сохранён более новой версией Calcora (…)" for a version above the supported one.
std::string newer_version_message(uint64_t found);

}  // namespace calcora
