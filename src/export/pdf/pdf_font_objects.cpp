#include "export/pdf/pdf_font_objects.h"

#include <algorithm>
#include <cstdio>
#include <vector>

#include "export/pdf/utf8_chars.h"

namespace calcora::pdf {

namespace {

// Upper-case hexadecimal, zero-padded to at least `digits` digits.
std::string hex_upper(uint32_t value, int digits) {
  char buf[16];
  std::snprintf(buf, sizeof buf, "%0*X", digits, value);
  return buf;
}

std::string ref(int number) { return std::to_string(number) + " 0 R"; }

// Entries for U+0000 carry no usable text and are left out of widths and the map.
bool listed(const std::pair<const uint16_t, char32_t>& entry) { return entry.second != 0; }

std::string width_array(const TrueTypeFont& font, const GlyphMap& glyphs) {
  std::string out = "[";
  bool first = true;
  for (const auto& entry : glyphs) {
    if (!listed(entry)) continue;
    if (!first) out += ' ';
    first = false;
    out += std::to_string(entry.first) + " [" + std::to_string(font.width(entry.first)) + "]";
  }
  return out + "]";
}

// A ToUnicode CMap of single-code mappings (PDF 1.7, 9.10.3), in bfchar blocks of at
// most 100 entries, the limit PostScript CMap resources put on one block. Destinations are
// UTF-16BE: characters past U+FFFF as their surrogate pair, or readers take the hex digits
// as one 16-bit code.
std::string to_unicode_cmap(const GlyphMap& glyphs) {
  std::string out =
      "/CIDInit /ProcSet findresource begin\n12 dict begin\nbegincmap\n"
      "/CIDSystemInfo << /Registry (Adobe) /Ordering (UCS) /Supplement 0 >> def\n"
      "/CMapName /Adobe-Identity-UCS def\n/CMapType 2 def\n"
      "1 begincodespacerange\n<0000> <FFFF>\nendcodespacerange\n";
  std::vector<std::pair<uint16_t, char32_t>> entries;
  for (const auto& entry : glyphs)
    if (listed(entry)) entries.emplace_back(entry);
  for (size_t start = 0; start < entries.size(); start += 100) {
    const size_t end = std::min(entries.size(), start + 100);
    out += std::to_string(end - start) + " beginbfchar\n";
    for (size_t i = start; i < end; ++i)
      out += "<" + hex_upper(entries[i].first, 4) + "> <" + utf16be_hex(entries[i].second) + ">\n";
    out += "endbfchar\n";
  }
  return out + "endcmap\nCMapName currentdict /CMap defineresource pop\nend\nend\n";
}

}  // namespace

void add_font_objects(PdfFileBuilder& pdf, std::string_view base_name, const TrueTypeFont& font, const GlyphMap& glyphs,
                      std::string_view original_file, std::string_view compressed_file) {
  const std::string name(base_name);
  const int type0 = pdf.next_number(), cid_font = type0 + 1, descriptor = type0 + 2, file = type0 + 3,
            to_unicode = type0 + 4;
  const FontMetrics& m = font.metrics();
  pdf.add("<< /Type /Font /Subtype /Type0 /BaseFont /" + name + " /Encoding /Identity-H /DescendantFonts [" +
          ref(cid_font) + "] /ToUnicode " + ref(to_unicode) + " >>\n");
  // Character ids in the content streams are glyph ids, hence /CIDToGIDMap /Identity.
  pdf.add("<< /Type /Font /Subtype /CIDFontType2 /BaseFont /" + name +
          " /CIDSystemInfo << /Registry (Adobe) /Ordering (Identity) /Supplement 0 >> /FontDescriptor " +
          ref(descriptor) + " /CIDToGIDMap /Identity /W " + width_array(font, glyphs) + " >>\n");
  pdf.add("<< /Type /FontDescriptor /FontName /" + name + " /Flags 4 /FontBBox [" + std::to_string(m.bbox_x_min) + " " +
          std::to_string(m.bbox_y_min) + " " + std::to_string(m.bbox_x_max) + " " + std::to_string(m.bbox_y_max) +
          "] /ItalicAngle 0 /Ascent " + std::to_string(m.ascent) + " /Descent " + std::to_string(m.descent) +
          " /CapHeight " + std::to_string(m.cap_height) + " /StemV 80 /FontFile2 " + ref(file) + " >>\n");
  pdf.add_stream(compressed_file, "/Length1 " + std::to_string(original_file.size()) + " /Filter /FlateDecode ");
  pdf.add_stream(to_unicode_cmap(glyphs));
}

}  // namespace calcora::pdf
