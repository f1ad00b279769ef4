// The PDF writer: the fixed object layout byte for byte, the font objects, the text maps,
// the cross-reference table, and what real PDF readers make of the file.
#include "export/pdf/pdf_writer.h"

#include <gtest/gtest.h>
#include <zlib.h>

#include "common/errors.h"
#include "export/pdf/embedded_fonts.h"
#include "export/pdf/utf8_chars.h"
#include "pdf_test_support.h"
#include "test_support.h"

namespace calcora::pdf {
namespace {

using test::pdf_objects;
using test::stream_data;

const std::string kCmapHeader =
    "/CIDInit /ProcSet findresource begin\n12 dict begin\nbegincmap\n"
    "/CIDSystemInfo << /Registry (Adobe) /Ordering (UCS) /Supplement 0 >> def\n"
    "/CMapName /Adobe-Identity-UCS def\n/CMapType 2 def\n"
    "1 begincodespacerange\n<0000> <FFFF>\nendcodespacerange\n";
const std::string kCmapTrailer = "endcmap\nCMapName currentdict /CMap defineresource pop\nend\nend\n";

Page page(std::initializer_list<TextLine> lines) { return Page{lines}; }
constexpr auto sans = FontChoice::sans;
constexpr auto serif = FontChoice::serif;

TEST(PdfWriter, FixedObjectsInOrder) {
  // Title and body in sans, two serif lines, then back to sans with an empty line.
  Document doc{"Смета", {page({{"A", sans}, {"a", sans}, {"b", sans}, {"a", serif}, {"b", serif}, {"", sans}})}};
  const std::string pdf = render_pdf(doc);
  ASSERT_EQ(pdf.rfind("%PDF-1.4\n% Смета\n1 0 obj\n", 0), 0u);
  auto objects = pdf_objects(pdf);
  ASSERT_EQ(objects.size(), 14u) << "every xref entry must point at its own object line";

  EXPECT_EQ(objects[1], "<< /Type /Catalog /Pages 2 0 R >>\n");
  EXPECT_EQ(objects[2], "<< /Type /Pages /Kids [13 0 R] /Count 1 >>\n");
  EXPECT_EQ(objects[3],
            "<< /Type /Font /Subtype /Type0 /BaseFont /DejaVuSans /Encoding /Identity-H /DescendantFonts [4 0 R] "
            "/ToUnicode 7 0 R >>\n");
  EXPECT_EQ(objects[8],
            "<< /Type /Font /Subtype /Type0 /BaseFont /FreeSerif /Encoding /Identity-H /DescendantFonts [9 0 R] "
            "/ToUnicode 12 0 R >>\n");
  // Widths are advances scaled to 1000 per em and rounded down (DejaVu's space: 651/2048 em).
  EXPECT_EQ(objects[4],
            "<< /Type /Font /Subtype /CIDFontType2 /BaseFont /DejaVuSans /CIDSystemInfo << /Registry (Adobe) "
            "/Ordering (Identity) /Supplement 0 >> /FontDescriptor 5 0 R /CIDToGIDMap /Identity "
            "/W [3 [317] 36 [684] 68 [612] 69 [634]] >>\n");
  EXPECT_EQ(objects[5],
            "<< /Type /FontDescriptor /FontName /DejaVuSans /Flags 4 /FontBBox [-1020 -462 1793 1232] /ItalicAngle 0 "
            "/Ascent 928 /Descent -235 /CapHeight 928 /StemV 80 /FontFile2 6 0 R >>\n");
  // FreeSerif asks for its typographic metrics and has an OS/2 capital height.
  EXPECT_EQ(objects[10],
            "<< /Type /FontDescriptor /FontName /FreeSerif /Flags 4 /FontBBox [-879 -551 1767 936] /ItalicAngle 0 "
            "/Ascent 800 /Descent -200 /CapHeight 662 /StemV 80 /FontFile2 11 0 R >>\n");
  EXPECT_EQ(objects[13],
            "<< /Type /Page /Parent 2 0 R /MediaBox [0 0 595 842] /Contents 14 0 R /Resources << /Font << /F1 3 0 R "
            "/F2 8 0 R >> >> >>\n");
  // Font operators on the first two lines and on each change of font only.
  const std::string content =
      "BT\n12 TL\n50 778 Td\n"
      "/F1 14 Tf\n<0024> Tj\nT*\n"
      "/F1 9 Tf\n<0044> Tj\nT*\n"
      "<0045> Tj\nT*\n"
      "/F2 9 Tf\n<0045> Tj\nT*\n"
      "<0046> Tj\nT*\n"
      "/F1 9 Tf\n<> Tj\nT*\n"
      "ET\n";
  EXPECT_EQ(objects[14], "<< /Length " + std::to_string(content.size()) + " >>\nstream\n" + content + "endstream\n");
  EXPECT_EQ(stream_data(objects[7]), kCmapHeader +
                                         "4 beginbfchar\n<0003> <0020>\n<0024> <0041>\n<0044> <0061>\n"
                                         "<0045> <0062>\nendbfchar\n" +
                                         kCmapTrailer);

  const size_t xref = pdf.rfind("xref\n0 15\n0000000000 65535 f \n");
  ASSERT_NE(xref, std::string::npos);
  EXPECT_TRUE(pdf.ends_with("trailer\n<< /Size 15 /Root 1 0 R >>\nstartxref\n" + std::to_string(xref) + "\n%%EOF\n"));
}

TEST(PdfWriter, UnusedFontStillCarriesTheSpaceGlyph) {
  const std::string pdf = render_pdf({"T", {page({{"T", sans}})}});
  auto objects = pdf_objects(pdf);
  ASSERT_EQ(objects.size(), 14u);
  EXPECT_NE(objects[9].find("/W [4 [250]] >>\n"), std::string::npos) << objects[9];
  EXPECT_EQ(stream_data(objects[12]), kCmapHeader + "1 beginbfchar\n<0004> <0020>\nendbfchar\n" + kCmapTrailer);
}

TEST(PdfWriter, FontFilesAreWholeAndCompressedOnce) {
  const Document doc{"T", {page({{"Т", sans}, {"х", serif}})}};
  const std::string cached = render_pdf(doc);
  EXPECT_EQ(cached, render_pdf(doc, FontCompression::every_export));

  auto objects = pdf_objects(cached);
  for (auto [number, choice] : {std::pair{6, sans}, std::pair{11, serif}}) {
    const std::string_view original = embedded_font(choice).file;
    const std::string data = stream_data(objects[number]);
    EXPECT_EQ(objects[number].rfind("<< /Length " + std::to_string(data.size()) + " /Length1 " +
                                        std::to_string(original.size()) + " /Filter /FlateDecode >>\nstream\n",
                                    0),
              0u);
    std::string inflated(original.size(), '\0');
    uLongf size = inflated.size();
    ASSERT_EQ(uncompress(reinterpret_cast<Bytef*>(inflated.data()), &size, reinterpret_cast<const Bytef*>(data.data()),
                         data.size()),
              Z_OK);
    EXPECT_TRUE(size == original.size() && inflated == original) << "font " << number;
  }
  EXPECT_EQ(embedded_font(sans).file.size(), 757076u);
}

TEST(PdfWriter, TextMapNamesFirstCharacterPerGlyph) {
  // U+0378 and U+0379 are unassigned, so both fall on the missing glyph 0: the map names it
  // U+FFFD and a span carries the characters themselves. A character past U+FFFF maps through
  // its UTF-16 surrogate pair.
  const std::string pdf = render_pdf({"T", {page({{"a\u0378\u0379b", sans}, {"𝔸", serif}})}});
  auto objects = pdf_objects(pdf);
  ASSERT_EQ(objects.size(), 14u);
  EXPECT_NE(objects[14].find("/F1 14 Tf\n<0044> Tj\n/Span << /ActualText <FEFF03780379> >> BDC\n<00000000> Tj\nEMC\n"
                             "<0045> Tj\nT*\n"),
            std::string::npos)
      << objects[14];
  EXPECT_NE(stream_data(objects[7]).find("4 beginbfchar\n<0000> <FFFD>\n<0003> <0020>\n<0044> <0061>\n"),
            std::string::npos)
      << stream_data(objects[7]);
  EXPECT_NE(stream_data(objects[12]).find("<1C4D> <D835DD38>\n"), std::string::npos) << stream_data(objects[12]);

  // A NUL character is drawn with its glyph but has no width entry and no text.
  objects = pdf_objects(render_pdf({"T", {page({{"T", sans}, {std::string("\0", 1), serif}})}}));
  EXPECT_NE(objects[14].find("/F2 9 Tf\n<0"), std::string::npos) << objects[14];
  EXPECT_NE(objects[9].find("/W [4 [250]] >>\n"), std::string::npos) << objects[9];
  EXPECT_EQ(stream_data(objects[12]), kCmapHeader + "1 beginbfchar\n<0004> <0020>\nendbfchar\n" + kCmapTrailer);
}

TEST(PdfWriter, TextMapBlocksHoldAtMostHundredEntries) {
  std::string text;
  for (char32_t c = U'А'; c <= U'я'; ++c) {  // 64 Cyrillic letters, two bytes each in UTF-8
    text += static_cast<char>(0xC0 | (c >> 6));
    text += static_cast<char>(0x80 | (c & 0x3F));
  }
  for (char c = 'A'; c <= 'Z'; ++c) text += c;
  for (char c = 'a'; c <= 'z'; ++c) text += c;
  for (char c = '0'; c <= '9'; ++c) text += c;
  const std::string cmap = stream_data(pdf_objects(render_pdf({"T", {page({{text, sans}})}}))[7]);
  // 126 characters plus the space: one full block and one of 27.
  const size_t first = cmap.find("100 beginbfchar\n");
  ASSERT_NE(first, std::string::npos);
  EXPECT_NE(cmap.find("endbfchar\n27 beginbfchar\n", first), std::string::npos);
  EXPECT_EQ(cmap.find("beginbfchar", cmap.find("27 beginbfchar") + 5), std::string::npos);
}

TEST(PdfWriter, PagesGetConsecutiveObjectPairs) {
  const std::string pdf = render_pdf({"T", {page({{"1", sans}}), page({{"2", sans}}), page({{"3", serif}})}});
  auto objects = pdf_objects(pdf);
  ASSERT_EQ(objects.size(), 18u);
  EXPECT_EQ(objects[2], "<< /Type /Pages /Kids [13 0 R 15 0 R 17 0 R] /Count 3 >>\n");
  EXPECT_NE(objects[17].find("/Contents 18 0 R"), std::string::npos);
  EXPECT_NE(objects[18].find("/F2 14 Tf\n"), std::string::npos);
}

TEST(PdfWriter, LineBreaksInTitleStayInsideTheCommentLine) {
  const std::string pdf = render_pdf({"Дом\n1 0 obj\r", {page({{"Дом", sans}})}});
  EXPECT_EQ(pdf.rfind("%PDF-1.4\n% Дом 1 0 obj \n1 0 obj\n", 0), 0u);
  EXPECT_EQ(pdf_objects(pdf).size(), 14u);
}

TEST(PdfWriter, WriteFailureGivesTheSystemText) {
  test::TempDir dir;
  const Document doc{"T", {page({{"T", sans}})}};
  try {
    write_pdf(doc, dir / "missing" / "out.pdf");
    FAIL() << "expected a failure";
  } catch (const CommandError& e) {
    EXPECT_EQ(e.what(), test::missing_folder_error());
  }
  EXPECT_FALSE(std::filesystem::exists(dir / "missing"));
  write_pdf(doc, dir / "out.pdf");
  EXPECT_EQ(test::read_text(dir / "out.pdf"), render_pdf(doc));
}

TEST(PdfWriter, ReadersGetTheTextBack) {
  if (!test::have_tool("qpdf") || !test::have_tool("pdftotext")) GTEST_SKIP() << "qpdf or poppler missing";
  test::TempDir dir;
  const auto path = dir / "text.pdf";
  write_pdf({"Проверка",
             {page({{"Проверка", serif}, {"(скобки) \\ обратная черта × м² 𝔸", sans}, {"", sans}}),
              page({{"Проверка", serif}, {"вторая страница", serif}})}},
            path);
  auto check = test::run_tool("qpdf --check " + test::quoted(path));
  EXPECT_EQ(check.status, 0) << check.out;
  EXPECT_NE(check.out.find("No syntax or stream encoding errors found"), std::string::npos) << check.out;
  auto text = test::run_tool("pdftotext -raw " + test::quoted(path) + " -");
  EXPECT_EQ(text.out, "Проверка\n(скобки) \\ обратная черта × м² 𝔸\n\fПроверка\nвторая страница\n\f");
}

TEST(PdfWriter, CharactersTheFontLacksCopyOutAsThemselves) {
  if (!test::have_tool("pdftotext")) GTEST_SKIP() << "poppler missing";
  // Neither font has these emoji or the ideograph U+20000: all of them share the missing glyph,
  // yet each must copy out as itself (or at worst as U+FFFD), never as another of them.
  const std::vector<std::string> sent = {"Смета 😀", "Плитка 🚧 и 𠀀 м²", "🚧😀 подряд", "😀"};
  test::TempDir dir;
  const auto path = dir / "missing.pdf";
  write_pdf({"T", {page({{sent[0], sans}, {sent[1], sans}, {sent[2], serif}, {sent[3], sans}})}}, path);
  const auto text = test::run_tool("pdftotext -raw " + test::quoted(path) + " -");
  std::vector<std::string> got;
  for (size_t start = 0, end; (end = text.out.find('\n', start)) != std::string::npos; start = end + 1)
    got.push_back(text.out.substr(start, end - start));
  ASSERT_GE(got.size(), sent.size()) << text.out;
  for (size_t i = 0; i < sent.size(); ++i) {
    const auto want = decode_utf8(sent[i]), have = decode_utf8(got[i]);
    ASSERT_EQ(have.size(), want.size()) << got[i];
    for (size_t c = 0; c < want.size(); ++c)
      EXPECT_TRUE(have[c] == want[c] || have[c] == 0xFFFD) << sent[i] << " came out as " << got[i];
  }
}

TEST(PdfText, MalformedUtf8CountsOneReplacementPerBadByte) {
  struct Case {
    std::string text;
    std::u32string chars;
  };
  const Case cases[] = {
      {"a\xFF"
       "b",
       U"a\uFFFDb"},
      {"\xE2\x82", U"\uFFFD\uFFFD"},            // cut short
      {"\xC0\xAF", U"\uFFFD\uFFFD"},            // overlong '/'
      {"\xED\xA0\x80", U"\uFFFD\uFFFD\uFFFD"},  // a surrogate
      {"м²𝔸", U"м²𝔸"},
  };
  for (const auto& c : cases) {
    const auto chars = decode_utf8(c.text);
    EXPECT_EQ(std::u32string(chars.begin(), chars.end()), c.chars);
  }
  EXPECT_EQ(utf8_prefix("Штукатурка", 4).text, "Штук");
  EXPECT_TRUE(utf8_prefix("Штукатурка", 4).cut);
  EXPECT_FALSE(utf8_prefix("Штук", 4).cut);
  // The writer draws such bytes with the font's replacement glyph instead of failing.
  EXPECT_EQ(test::pdf_objects(render_pdf({"\xFF", {Page{{{"\xFF", FontChoice::sans}}}}})).size(), 14u);
}

}  // namespace
}  // namespace calcora::pdf
