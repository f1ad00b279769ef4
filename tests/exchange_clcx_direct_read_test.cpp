// The exchange file read while it is scanned, beside the reading through a document: for every
// content the import gives the same estimate or the same error text, and the scan takes the
// content the program writes (in any member order, with unknown members) and nothing doubtful.
#include <gtest/gtest.h>

#include <string>

#include "exchange/clcx_direct_read.h"
#include "exchange/clcx_file.h"
#include "exchange/gzip_codec.h"

namespace calcora {
namespace {

const std::string kLine1 =
    R"({"id":11,"estimate_id":7,"sort_order":0,"line_type":"full","name":"Кабель \"ВВГ\" 3х2,5","unit":"м",)"
    R"("quantity":2.5,"unit_price":100,"fixed_total":null,"catalog_item_id":5,"name_bold":true,)"
    R"("category":"material","format_json":"{\"bold\":true}","sku":"A-1","cost_price":70.5,"formula":"line:12.qty*2"})";
const std::string kLine2 =
    R"({"id":null,"estimate_id":7,"sort_order":1,"line_type":"section","name":"Электрика","unit":null,)"
    R"("quantity":null,"unit_price":null,"fixed_total":null,"catalog_item_id":null,"name_bold":false,)"
    R"("category":"work","format_json":null,"sku":null,"cost_price":null,"formula":null})";
const std::string kMetadata =
    R"({"object_name":"Дом у озера","created_at":"2024-01-02 03:04:05","updated_at":"2024-01-02 03:04:05",)"
    R"("customer":null})";
const std::string kColumns = R"([{"id":"num","title":"№","kind":"number"}])";
const std::string kHead = R"("version":1,"metadata":)" + kMetadata + R"(,"columns_template":)" + kColumns;
const std::string kFooter =
    R"("footer":{"estimate_id":7,"materials":500,"delivery":0.1,"advance":-3,"show_materials":true,)"
    R"("show_delivery":false,"show_advance":false,"markup_formula":"работы*0.1","extras_json":"[]"})";

std::string file(const std::string& rows = kLine1 + "," + kLine2) {
  return "{" + kHead + ",\"rows\":[" + rows + "]," + kFooter + "}";
}

// The text with its only occurrence of `from` replaced.
std::string replaced(std::string text, const std::string& from, const std::string& to) {
  const size_t at = text.find(from);
  EXPECT_NE(at, std::string::npos) << from;
  EXPECT_EQ(text.find(from, at + 1), std::string::npos) << from;
  return at == std::string::npos ? text : text.replace(at, from.size(), to);
}

std::string line1_with(const std::string& from, const std::string& to) { return file(replaced(kLine1, from, to)); }
std::string line2_with(const std::string& from, const std::string& to) {
  return file(kLine1 + "," + replaced(kLine2, from, to));
}

// Everything read, as text: reals written with all their digits and their sign.
std::string described(const ImportedEstimate& e) {
  Json lines = Json::array();
  for (const auto& line : e.lines) lines.push_back(to_json(line));
  return Json{{"object_name", e.object_name},
              {"mode", e.mode},
              {"mode_mask_json", to_json_or_null(e.mode_mask_json)},
              {"calc_params_json", to_json_or_null(e.calc_params_json)},
              {"lines", lines},
              {"footer", to_json(e.footer)}}
      .dump();
}

template <typename Read>
std::string outcome(Read&& read) {
  try {
    return "estimate " + described(read());
  } catch (const CommandError& e) {
    return std::string("error ") + e.what();
  }
}

TEST(ClcxDirectRead, SameEstimateOrErrorAsTheDocument) {
  struct Case {
    const char* what;
    std::string text;
    bool scanned;  // taken by the scan rather than left to the document
  };
  const std::string deep = std::string(100, '[') + std::string(100, ']');
  const Case cases[] = {
      {"as the program writes it", file(), true},
      {"whitespace of every kind", "\t\r\n " + Json::parse(file()).dump(2) + " \n", true},
      {"no lines, no columns, version 0",
       replaced(replaced(file(""), R"("version":1)", R"("version":0)"), kColumns, "[]"), true},
      {"members in another order, version last, defaults and absent optionals",
       R"({"rows":[{"name":"Стена","line_type":"full","sort_order":3,"estimate_id":1}],)" + kFooter +
           R"(,"columns_template":[{"kind":"k","title":"t","id":"i"}],)"
           R"("metadata":{"customer":"ООО","updated_at":"u","created_at":"c","object_name":"x"},"version":1})",
       true},
      {"unknown members at every level",
       replaced(replaced(replaced(line1_with(R"({"id":11,)", R"({"x":[[],{"a":-1.5e3}],"id":11,)"), R"({"version")",
                                  R"({"extra":{"a":[1,true,false,null,"\u0041"]},"version")"),
                         R"("customer":null)", R"("customer":null,"tel":"1")"),
                R"("kind":"number")", R"("kind":"number","width":12.5)"),
       true},
      {"mode and calculator settings",
       replaced(file(), R"("customer":null)",
                R"("customer":null,"mode":"pro","mode_mask_json":"{\"calculators\":true}",)"
                R"("calc_params_json":"{\"length\":3}")"),
       true},
      {"a repeated mode, the last one null", replaced(file(), R"("customer":null)", R"("mode":"pro","mode":null)"),
       true},
      {"a number for the mode", replaced(file(), R"("customer":null)", R"("mode":1)"), false},
      {"a repeated member in a line: the last one counts",
       line1_with(R"("unit":"м",)", R"("unit":"м","name":"второе","unit":null,)"), true},
      {"numbers in every form the fields take",
       replaced(replaced(line2_with(R"("id":null,"estimate_id":7,"sort_order":1)",
                                    R"("id":9223372036854775807,"estimate_id":-0,"sort_order":-2147483648)"),
                         R"("quantity":null,"unit_price":null,"fixed_total":null,"catalog_item_id":null)",
                         R"("quantity":-0.0,"unit_price":1E+2,"fixed_total":18446744073709551615,)"
                         R"("catalog_item_id":-9223372036854775808)"),
                R"("cost_price":null)", R"("cost_price":5e-324)"),
       true},
      {"more numbers",
       replaced(
           line1_with(R"("sort_order":0,"line_type":"full","name":"Кабель \"ВВГ\" 3х2,5","unit":"м",)"
                      R"("quantity":2.5,"unit_price":100,"fixed_total":null)",
                      R"("sort_order":2147483647,"line_type":"full","name":"Кабель","unit":"м",)"
                      R"("quantity":1e-400,"unit_price":-9223372036854775808,"fixed_total":123456789.123456789e-3)"),
           R"("cost_price":70.5)", R"("cost_price":0.30000000000000004)"),
       true},
      {"escapes and characters of every length",
       line1_with(R"("name":"Кабель \"ВВГ\" 3х2,5")",
                  R"("n\u0061me":"\"\\\/\b\f\n\r\t\u0041\u00e9\u0416\u20ac\ud83d\ude00\u0000 €😀)"
                  "\x7f\""),
       true},

      {"a repeated top-level member: the last one whole", file(kLine1 + "],\"rows\":[" + kLine2), false},
      {"a wrong type overwritten by a later member",
       line1_with(R"("quantity":2.5)", R"("quantity":"2.5","quantity":3)"), false},
      {"an integer beyond 64 bits as a real", line1_with(R"("quantity":2.5)", R"("quantity":18446744073709551616)"),
       false},
      {"deep nesting in an unknown member", line1_with(R"({"id":11,)", R"({"deep":)" + deep + R"(,"id":11,)"), false},
      {"a byte order mark", "\xEF\xBB\xBF" + file(), false},

      {"truncated", file().substr(0, file().size() / 2), false},
      {"empty", "", false},
      {"a trailing comma", line1_with(R"("formula":"line:12.qty*2"})", R"("formula":"line:12.qty*2",})"), false},
      {"content after the object", file() + "{}", false},
      {"a newer version", replaced(file(), R"("version":1)", R"("version":2)"), false},
      {"a newer version after malformed rows", R"({"rows":[{"name":5}],"version":2})", false},
      {"a newer version, repeated", replaced(file(), R"("version":1)", R"("version":1,"version":2)"), false},
      {"no version", replaced(file(), R"("version":1,)", ""), false},
      {"a negative version", replaced(file(), R"("version":1)", R"("version":-1)"), false},
      {"a version of -0", replaced(file(), R"("version":1)", R"("version":-0)"), false},
      {"a real version", replaced(file(), R"("version":1)", R"("version":1.0)"), false},
      {"a text version", replaced(file(), R"("version":1)", R"("version":"1")"), false},
      {"a version beyond 32 bits", replaced(file(), R"("version":1)", R"("version":4294967296)"), false},
      {"an array", "[" + file() + "]", false},
      {"a text sort order deep in a row", line2_with(R"("sort_order":1)", R"("sort_order":"1")"), false},
      {"a null name_bold", line2_with(R"("name_bold":false)", R"("name_bold":null)"), false},
      {"a null category", line2_with(R"("category":"work")", R"("category":null)"), false},
      {"a text quantity", line2_with(R"("quantity":null)", R"("quantity":"2")"), false},
      {"a real id", line2_with(R"("id":null)", R"("id":1.0)"), false},
      {"an id beyond 63 bits", line2_with(R"("id":null)", R"("id":9223372036854775808)"), false},
      {"a negative id beyond 63 bits", line2_with(R"("id":null)", R"("id":-9223372036854775809)"), false},
      {"a sort order beyond 31 bits", line2_with(R"("sort_order":1)", R"("sort_order":2147483648)"), false},
      {"a negative sort order beyond 31 bits", line2_with(R"("sort_order":1)", R"("sort_order":-2147483649)"), false},
      {"no estimate_id", line2_with(R"("estimate_id":7,)", ""), false},
      {"a repeated name, then wrong", line2_with(R"("name":"Электрика")", R"("name":"Электрика","name":5)"), false},
      {"a row that is an array", file(kLine1 + ",[1]"), false},
      {"rows that are an object", replaced(file(), R"("rows":[)" + kLine1 + "," + kLine2 + "]", R"("rows":{})"), false},
      {"no show_advance", replaced(file(), R"(,"show_advance":false)", ""), false},
      {"a null materials", replaced(file(), R"("materials":500)", R"("materials":null)"), false},
      {"a number for extras", replaced(file(), R"("extras_json":"[]")", R"("extras_json":5)"), false},
      {"no created_at", replaced(file(), R"("created_at":"2024-01-02 03:04:05",)", ""), false},
      {"a number for the customer", replaced(file(), R"("customer":null)", R"("customer":5)"), false},
      {"a null metadata", replaced(file(), kMetadata, "null"), false},
      {"columns that are not an array", replaced(file(), kColumns, "{}"), false},
      {"a column without kind", replaced(file(), R"(,"kind":"number")", ""), false},
      {"a raw control character", line1_with("\"A-1\"", "\"A\x01\""), false},
      {"an overlong encoding", line1_with("\"A-1\"", "\"\xC0\x80\""), false},
      {"an encoded surrogate", line1_with("\"A-1\"", "\"\xED\xA0\x80\""), false},
      {"beyond U+10FFFF", line1_with("\"A-1\"", "\"\xF4\x90\x80\x80\""), false},
      {"a cut sequence", line1_with("\"A-1\"", "\"\xD0\""), false},
      {"a lone high surrogate", line1_with("\"A-1\"", R"("\ud800")"), false},
      {"a high surrogate before a letter", line1_with("\"A-1\"", R"("\ud800\u0041")"), false},
      {"a lone low surrogate", line1_with("\"A-1\"", R"("\udc00")"), false},
      {"an unknown escape", line1_with("\"A-1\"", R"("\x41")"), false},
      {"a bad hex digit", line1_with("\"A-1\"", R"("\u12G4")"), false},
      {"a leading zero", line1_with(R"("unit_price":100)", R"("unit_price":0100)"), false},
      {"a point without digits", line1_with(R"("unit_price":100)", R"("unit_price":1.)"), false},
      {"an exponent without digits", line1_with(R"("unit_price":100)", R"("unit_price":1e)"), false},
      {"a lone minus", line1_with(R"("unit_price":100)", R"("unit_price":-)"), false},
      {"a real too large", line1_with(R"("unit_price":100)", R"("unit_price":1e400)"), false},
      {"a real too large in an unknown member", line1_with(R"({"id":11,)", R"({"x":-1e400,"id":11,)"), false},
      {"a leading plus", line1_with(R"("unit_price":100)", R"("unit_price":+1)"), false},
      {"a misspelt literal", line1_with(R"("name_bold":true)", R"("name_bold":True)"), false},
      {"a cut literal", line2_with(R"("unit":null)", R"("unit":nul)"), false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    const std::string reference = outcome([&] { return decode_clcx_document(c.text); });
    EXPECT_EQ(outcome([&] { return decode_clcx(gzip_compress(c.text)); }), reference);
    const auto scanned = read_clcx_directly(c.text);
    EXPECT_EQ(scanned.has_value(), c.scanned) << reference;
    if (scanned) {
      EXPECT_EQ("estimate " + described(*scanned), reference);
    }
  }
}

}  // namespace
}  // namespace calcora
