// The two TrueType fonts the program carries (DejaVu Sans and FreeSerif), compiled into
// the program so that no font file is read at run time, and their compressed file streams.
#pragma once

#include <span>
#include <string>
#include <string_view>

#include "common/embedded_file.h"
#include "export/pdf/pdf_document.h"

namespace calcora {
// Defined by the generated source of the font build step.
std::span<const EmbeddedFile> font_files();
}  // namespace calcora

namespace calcora::pdf {

struct EmbeddedFont {
  std::string_view base_name;  // the PostScript-style name written as /BaseFont
  std::string_view file;       // the whole TrueType file
};

const EmbeddedFont& embedded_font(FontChoice choice);

// The font file as a zlib stream at compression level 6.
std::string deflate_font_file(std::string_view file);

// deflate_font_file of the font, computed once per process: the bytes are the same on
// every export, and compressing both fonts anew costs about a tenth of a second.
const std::string& compressed_font_file(FontChoice choice);

}  // namespace calcora::pdf
