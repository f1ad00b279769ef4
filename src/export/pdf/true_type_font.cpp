#include "export/pdf/true_type_font.h"

#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_ADVANCES_H
#include FT_TRUETYPE_TABLES_H

#include <stdexcept>
#include <string>

namespace calcora::pdf {

struct TrueTypeFont::FreeTypeHandles {
  FT_Library library = nullptr;
  FT_Face face = nullptr;
  ~FreeTypeHandles() {
    if (face) FT_Done_Face(face);
    if (library) FT_Done_FreeType(library);
  }
};

namespace {

// OS/2 fsSelection bit 7 (USE_TYPO_METRICS): the typographic ascender and descender are
// the font's line metrics rather than those of the horizontal header.
constexpr FT_UShort kUseTypoMetrics = 1u << 7;

}  // namespace

TrueTypeFont::TrueTypeFont(std::string_view file) : ft_(std::make_unique<FreeTypeHandles>()) {
  if (FT_Init_FreeType(&ft_->library) != 0) throw std::logic_error("FreeType did not start");
  if (FT_New_Memory_Face(ft_->library, reinterpret_cast<const FT_Byte*>(file.data()), static_cast<FT_Long>(file.size()),
                         0, &ft_->face) != 0)
    throw std::logic_error("an embedded font does not parse");
  // FreeType picks a Unicode map by itself when the font has one; ask explicitly so a
  // font that lists another encoding first still maps Unicode characters.
  FT_Select_Charmap(ft_->face, FT_ENCODING_UNICODE);

  const FT_Face face = ft_->face;
  units_per_em_ = face->units_per_EM ? face->units_per_EM : 1000;
  auto scale = [this](int64_t v) { return v * 1000 / units_per_em_; };  // truncates toward zero

  int64_t ascender = 0, descender = 0;
  const auto* os2 = static_cast<const TT_OS2*>(FT_Get_Sfnt_Table(face, FT_SFNT_OS2));
  const auto* hhea = static_cast<const TT_HoriHeader*>(FT_Get_Sfnt_Table(face, FT_SFNT_HHEA));
  const bool has_os2 = os2 != nullptr && os2->version != 0xFFFF;
  if (has_os2 && (os2->fsSelection & kUseTypoMetrics)) {
    ascender = os2->sTypoAscender, descender = os2->sTypoDescender;
  } else if (hhea != nullptr) {
    ascender = hhea->Ascender, descender = hhea->Descender;
  }
  metrics_.bbox_x_min = scale(face->bbox.xMin);
  metrics_.bbox_y_min = scale(face->bbox.yMin);
  metrics_.bbox_x_max = scale(face->bbox.xMax);
  metrics_.bbox_y_max = scale(face->bbox.yMax);
  metrics_.ascent = scale(ascender);
  metrics_.descent = scale(descender);
  metrics_.cap_height = scale(has_os2 && os2->version >= 2 ? os2->sCapHeight : ascender);
}

TrueTypeFont::~TrueTypeFont() = default;

uint16_t TrueTypeFont::glyph_id(char32_t c) const {
  FT_UInt glyph = FT_Get_Char_Index(ft_->face, c);
  return glyph > 0xFFFF ? 0 : static_cast<uint16_t>(glyph);
}

uint32_t TrueTypeFont::width(uint16_t glyph) const {
  FT_Fixed advance = 0;
  if (FT_Get_Advance(ft_->face, glyph, FT_LOAD_NO_SCALE, &advance) != 0 || advance <= 0) return 0;
  return static_cast<uint32_t>(static_cast<uint64_t>(advance) * 1000 / static_cast<uint64_t>(units_per_em_));
}

}  // namespace calcora::pdf
