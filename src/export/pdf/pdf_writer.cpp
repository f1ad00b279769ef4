#include "export/pdf/pdf_writer.h"

#include <array>
#include <cstdio>
#include <vector>

#include "common/file_io.h"
#include "export/pdf/embedded_fonts.h"
#include "export/pdf/pdf_file_builder.h"
#include "export/pdf/pdf_font_objects.h"
#include "export/pdf/true_type_font.h"
#include "export/pdf/utf8_chars.h"

namespace calcora::pdf {

namespace {

// A4 portrait; the first baseline and the leading, in points from the lower left corner.
constexpr const char* kPageSize = "0 0 595 842";
constexpr const char* kTextStart = "12 TL\n50 778 Td\n";
constexpr int kTitleSize = 14;
constexpr int kBodySize = 9;

// Objects 1 and 2 are the catalog and the page tree, 3 to 7 the sans font, 8 to 12 the
// serif font (resources /F1 and /F2), then each page and its content stream.
constexpr int kFirstPageObject = 13;

constexpr char32_t kReplacementChar = 0xFFFD;

size_t font_index(FontChoice font) { return font == FontChoice::serif ? 1 : 0; }
const char* resource_name(FontChoice font) { return font == FontChoice::serif ? "/F2" : "/F1"; }

struct FontState {
  FontChoice choice;
  const EmbeddedFont& embedded;
  TrueTypeFont font;
  GlyphMap glyphs;

  explicit FontState(FontChoice c) : choice(c), embedded(embedded_font(c)), font(embedded.file) {}

  // The first character seen for a glyph names it in the text map; the missing glyph, which
  // stands for every character the font lacks, is named U+FFFD. NUL stays itself: it has no text.
  uint16_t note(char32_t c) {
    const uint16_t glyph = font.glyph_id(c);
    glyphs.try_emplace(glyph, glyph == 0 && c != 0 ? kReplacementChar : c);
    return glyph;
  }
};

struct EncodedLine {
  FontChoice font;
  std::vector<uint16_t> glyphs;
  std::vector<char32_t> chars;  // the character each glyph draws
};

void append_glyphs(std::string& out, const EncodedLine& line, size_t from, size_t to) {
  out += '<';
  for (size_t i = from; i < to; ++i) {
    char hex[5];
    std::snprintf(hex, sizeof hex, "%04X", line.glyphs[i]);
    out.append(hex, 4);
  }
  out += "> Tj\n";
}

// Shows one line. A glyph whose text-map entry names another character (the missing glyph,
// or a glyph two characters share) is drawn inside a span whose /ActualText carries the
// characters themselves (PDF 1.7, 14.9.4), so that copying the text gives them back.
void show_line(std::string& out, const EncodedLine& line, const GlyphMap& map) {
  const size_t n = line.glyphs.size();
  auto named_by_map = [&](size_t i) { return line.chars[i] == 0 || map.at(line.glyphs[i]) == line.chars[i]; };
  size_t i = 0;
  do {
    size_t plain_end = i;
    while (plain_end < n && named_by_map(plain_end)) ++plain_end;
    if (plain_end > i || n == 0) append_glyphs(out, line, i, plain_end);
    if (plain_end == n) break;
    size_t span_end = plain_end;
    while (span_end < n && !named_by_map(span_end)) ++span_end;
    out += "/Span << /ActualText <FEFF";
    for (size_t k = plain_end; k < span_end; ++k) out += utf16be_hex(line.chars[k]);
    out += "> >> BDC\n";
    append_glyphs(out, line, plain_end, span_end);
    out += "EMC\n";
    i = span_end;
  } while (i < n);
  out += "T*\n";
}

std::string content_stream(const std::vector<EncodedLine>& lines, const std::array<const GlyphMap*, 2>& maps) {
  std::string out = "BT\n";
  out += kTextStart;
  for (size_t i = 0; i < lines.size(); ++i) {
    const EncodedLine& line = lines[i];
    if (i <= 1 || line.font != lines[i - 1].font) {
      out += resource_name(line.font);
      out += ' ';
      out += std::to_string(i == 0 ? kTitleSize : kBodySize);
      out += " Tf\n";
    }
    show_line(out, line, *maps[font_index(line.font)]);
  }
  return out + "ET\n";
}

}  // namespace

std::string render_pdf(const Document& document, FontCompression compression) {
  std::array<FontState, 2> fonts{FontState(FontChoice::sans), FontState(FontChoice::serif)};

  // Glyph ids of every line, noting each glyph's first character in its font's map.
  std::vector<std::vector<EncodedLine>> pages;
  pages.reserve(document.pages.size());
  for (const Page& page : document.pages) {
    auto& encoded = pages.emplace_back();
    encoded.reserve(page.lines.size());
    for (const TextLine& line : page.lines) {
      FontState& font = fonts[font_index(line.font)];
      EncodedLine& out = encoded.emplace_back(EncodedLine{line.font, {}, decode_utf8(line.text)});
      out.glyphs.reserve(out.chars.size());
      for (char32_t c : out.chars) out.glyphs.push_back(font.note(c));
    }
  }
  for (FontState& font : fonts) font.note(U' ');

  std::array<std::string, 2> fresh;
  std::array<std::string_view, 2> compressed;
  size_t expected = 64 * 1024;
  for (size_t i = 0; i < fonts.size(); ++i) {
    if (compression == FontCompression::every_export) {
      fresh[i] = deflate_font_file(fonts[i].embedded.file);
      compressed[i] = fresh[i];
    } else {
      compressed[i] = compressed_font_file(fonts[i].choice);
    }
    expected += compressed[i].size();
  }
  for (const Page& page : document.pages)
    for (const TextLine& line : page.lines) expected += 2 * line.text.size() + 16;
  PdfFileBuilder pdf(document.title, expected);

  pdf.add("<< /Type /Catalog /Pages 2 0 R >>\n");
  std::string kids;
  for (size_t p = 0; p < pages.size(); ++p) {
    if (p) kids += ' ';
    kids += std::to_string(kFirstPageObject + 2 * p) + " 0 R";
  }
  pdf.add("<< /Type /Pages /Kids [" + kids + "] /Count " + std::to_string(pages.size()) + " >>\n");

  for (size_t i = 0; i < fonts.size(); ++i)
    add_font_objects(pdf, fonts[i].embedded.base_name, fonts[i].font, fonts[i].glyphs, fonts[i].embedded.file,
                     compressed[i]);

  for (const auto& page : pages) {
    pdf.add("<< /Type /Page /Parent 2 0 R /MediaBox [" + std::string(kPageSize) + "] /Contents " +
            std::to_string(pdf.next_number() + 1) + " 0 R /Resources << /Font << /F1 3 0 R /F2 8 0 R >> >> >>\n");
    pdf.add_stream(content_stream(page, {&fonts[0].glyphs, &fonts[1].glyphs}));
  }
  return std::move(pdf).finish();
}

void write_pdf(const Document& document, const std::filesystem::path& path) {
  write_file_atomically(path, render_pdf(document));
}

}  // namespace calcora::pdf
