// Reads what the PDF needs from a TrueType font: glyph ids for characters, advances and
// the global metrics, all scaled to the 1000-unit text space of PDF fonts.
#pragma once

#include <cstdint>
#include <memory>
#include <string_view>

namespace calcora::pdf {

// Font-wide values in 1000ths of the em, truncated toward zero.
struct FontMetrics {
  int64_t bbox_x_min = 0, bbox_y_min = 0, bbox_x_max = 0, bbox_y_max = 0;
  int64_t ascent = 0;
  int64_t descent = 0;
  int64_t cap_height = 0;
};

class TrueTypeFont {
 public:
  // `file` must outlive the object. The fonts are the program's own data, so a font that
  // does not parse is a build fault and throws std::logic_error.
  explicit TrueTypeFont(std::string_view file);
  ~TrueTypeFont();
  TrueTypeFont(const TrueTypeFont&) = delete;
  TrueTypeFont& operator=(const TrueTypeFont&) = delete;

  // The glyph of a character by the font's character map; 0 (the missing glyph) when unmapped.
  uint16_t glyph_id(char32_t c) const;
  // The glyph's horizontal advance in 1000ths of the em, rounded down; 0 when it has none.
  uint32_t width(uint16_t glyph) const;
  const FontMetrics& metrics() const { return metrics_; }

 private:
  struct FreeTypeHandles;
  std::unique_ptr<FreeTypeHandles> ft_;
  int64_t units_per_em_ = 1000;
  FontMetrics metrics_;
};

}  // namespace calcora::pdf
