// The five objects that embed one font as a composite font: the Type0 font with
// Identity-H encoding, its CIDFontType2 descendant with the glyph widths, the font
// descriptor, the whole font file and the ToUnicode map that makes the text copyable.
#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <string_view>

#include "export/pdf/pdf_file_builder.h"
#include "export/pdf/true_type_font.h"

namespace calcora::pdf {

// Glyph id → the first character seen to map to it, in glyph order.
using GlyphMap = std::map<uint16_t, char32_t>;

// Adds the font's five objects to `pdf`, numbered from its next number on.
void add_font_objects(PdfFileBuilder& pdf, std::string_view base_name, const TrueTypeFont& font, const GlyphMap& glyphs,
                      std::string_view original_file, std::string_view compressed_file);

}  // namespace calcora::pdf
