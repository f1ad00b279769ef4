// Turns pages of text lines into a complete PDF 1.4 file with both fonts embedded whole,
// built in memory and written in one step.
#pragma once

#include <filesystem>
#include <string>

#include "export/pdf/pdf_document.h"

namespace calcora::pdf {

// Where the compressed font file streams come from. Both give the same bytes; compressing
// on every export is kept for measuring what the cache saves.
enum class FontCompression { cached, every_export };

std::string render_pdf(const Document& document, FontCompression compression = FontCompression::cached);

// Renders and replaces the file at `path`; throws CommandError with the OS error text.
void write_pdf(const Document& document, const std::filesystem::path& path);

}  // namespace calcora::pdf
