#include "export/pdf/pdf_writer.h"

#include <array>
#include <cstdio>
#include <vector>

#include "common/file_io.h"
#include "export/pdf/embedded_fonts.h"
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

constexpr int kPageTree = 2;
constexpr FontObjectNumbers kSansObjects{3, 4, 5, 6, 7};
constexpr FontObjectNumbers kSerifObjects{8, 9, 10, 11, 12};
constexpr int kFirstPageObject = 13;

size_t font_index(FontChoice font) { return font == FontChoice::serif ? 1 : 0; }
const char* resource_name(FontChoice font) { return font == FontChoice::serif ? "/F2" : "/F1"; }

struct FontState {
  FontChoice choice;
  const EmbeddedFont& embedded;
  TrueTypeFont font;
  GlyphMap glyphs;

  explicit FontState(FontChoice c) : choice(c), embedded(embedded_font(c)), font(embedded.file) {}

  uint16_t note(char32_t c) {
    const uint16_t glyph = font.glyph_id(c);
    glyphs.try_emplace(glyph, c);  // the first character seen for a glyph names it
    return glyph;
  }
};

struct EncodedLine {
  FontChoice font;
  std::vector<uint16_t> glyphs;
};

std::string content_stream(const std::vector<EncodedLine>& lines) {
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
    out += '<';
    for (uint16_t glyph : line.glyphs) {
      char hex[5];
      std::snprintf(hex, sizeof hex, "%04X", glyph);
      out.append(hex, 4);
    }
    out += "> Tj\nT*\n";
  }
  return out + "ET\n";
}

// The comment line ends at the first line break; one inside the title would spill the rest
// of it into the file's body, so breaks are written as spaces there.
std::string comment_text(std::string title) {
  for (char& c : title)
    if (c == '\n' || c == '\r') c = ' ';
  return title;
}

std::string assemble(const std::string& title, const std::vector<std::string>& objects) {
  size_t total = 64 + title.size() + 20 * objects.size();
  for (const auto& body : objects) total += body.size() + 32;
  std::string out;
  out.reserve(total);
  out += "%PDF-1.4\n% " + comment_text(title) + "\n";
  std::vector<size_t> offsets;
  offsets.reserve(objects.size());
  for (size_t i = 0; i < objects.size(); ++i) {
    offsets.push_back(out.size());
    out += std::to_string(i + 1) + " 0 obj\n";
    out += objects[i];
    if (objects[i].empty() || objects[i].back() != '\n') out += '\n';
    out += "endobj\n";
  }
  const size_t xref = out.size();
  out += "xref\n0 " + std::to_string(objects.size() + 1) + "\n0000000000 65535 f \n";
  for (size_t offset : offsets) {
    char entry[32];
    std::snprintf(entry, sizeof entry, "%010zu 00000 n \n", offset);
    out += entry;
  }
  out += "trailer\n<< /Size " + std::to_string(objects.size() + 1) + " /Root 1 0 R >>\nstartxref\n" +
         std::to_string(xref) + "\n%%EOF\n";
  return out;
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
      EncodedLine& out = encoded.emplace_back(EncodedLine{line.font, {}});
      out.glyphs.reserve(line.text.size());
      for (size_t pos = 0; pos < line.text.size();) out.glyphs.push_back(font.note(next_char(line.text, pos)));
    }
  }
  for (FontState& font : fonts) font.note(U' ');

  std::vector<std::string> objects;
  objects.reserve(kFirstPageObject - 1 + 2 * pages.size());
  objects.push_back("<< /Type /Catalog /Pages " + std::to_string(kPageTree) + " 0 R >>\n");
  std::string kids;
  for (size_t p = 0; p < pages.size(); ++p) {
    if (p) kids += ' ';
    kids += std::to_string(kFirstPageObject + 2 * p) + " 0 R";
  }
  objects.push_back("<< /Type /Pages /Kids [" + kids + "] /Count " + std::to_string(pages.size()) + " >>\n");

  for (FontState& font : fonts) {
    std::string fresh;
    if (compression == FontCompression::every_export) fresh = deflate_font_file(font.embedded.file);
    const std::string& compressed =
        compression == FontCompression::every_export ? fresh : compressed_font_file(font.choice);
    const auto& numbers = font.choice == FontChoice::serif ? kSerifObjects : kSansObjects;
    FontObjectBodies bodies =
        font_objects(font.embedded.base_name, font.font, font.glyphs, font.embedded.file, compressed, numbers);
    objects.push_back(std::move(bodies.type0));
    objects.push_back(std::move(bodies.cid_font));
    objects.push_back(std::move(bodies.descriptor));
    objects.push_back(std::move(bodies.file));
    objects.push_back(std::move(bodies.to_unicode));
  }

  for (size_t p = 0; p < pages.size(); ++p) {
    const size_t contents = kFirstPageObject + 2 * p + 1;
    objects.push_back(std::string("<< /Type /Page /Parent 2 0 R /MediaBox [") + kPageSize + "] /Contents " +
                      std::to_string(contents) + " 0 R /Resources << /Font << /F1 3 0 R /F2 8 0 R >> >> >>\n");
    objects.push_back(stream_object(content_stream(pages[p])));
  }
  return assemble(document.title, objects);
}

void write_pdf(const Document& document, const std::filesystem::path& path) {
  write_file_atomically(path, render_pdf(document));
}

}  // namespace calcora::pdf
