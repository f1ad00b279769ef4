// The five objects that embed one font as a composite font: the Type0 font with
// Identity-H encoding, its CIDFontType2 descendant with the glyph widths, the font
// descriptor, the whole font file and the ToUnicode map that makes the text copyable.
#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <string_view>

#include "export/pdf/true_type_font.h"

namespace calcora::pdf {

// Glyph id → the first character seen to map to it, in glyph order.
using GlyphMap = std::map<uint16_t, char32_t>;

// Object numbers of one font's five objects, in the order they are written.
struct FontObjectNumbers {
  int type0, cid_font, descriptor, file, to_unicode;
};

struct FontObjectBodies {
  std::string type0, cid_font, descriptor, file, to_unicode;
};

// A stream object's body; `extra` goes after the length inside the dictionary.
std::string stream_object(std::string_view data, std::string_view extra = {});

FontObjectBodies font_objects(std::string_view base_name, const TrueTypeFont& font, const GlyphMap& glyphs,
                              std::string_view original_file, std::string_view compressed_file,
                              const FontObjectNumbers& numbers);

}  // namespace calcora::pdf
