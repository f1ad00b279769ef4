// The proposal document rendered on the native side: byte for byte the page's own document,
// the money form, and snapshots that cannot be shown.
#include <gtest/gtest.h>

#include "common/money_text.h"
#include "proposal/proposal_document.h"

namespace calcora {
namespace {

TEST(ProposalDocument, IsTheSavedDocumentByteForByte) {
  Json snapshot = Json::parse(R"({"title":"КП \"Озеро\"","object_name":"Дом у озера","lines":[
    {"id":1,"name":"Стены","unit":"","quantity":null,"unit_price":null,"total":0},
    {"id":2,"name":"Кирпич <b>М150</b> & раствор","unit":"м²","quantity":2.5,"unit_price":1234.5,"total":3086.25},
    {"id":3,"name":"Доставка","unit":null,"quantity":null,"unit_price":null,"total":1500}],
    "stages":[{"title":"Аванс","amount":1000}],"total":4586.25})");
  auto reading = ProposalDocument::from_snapshot(snapshot);
  ASSERT_TRUE(reading.document) << reading.problem;
  const std::string expected =
      "<!doctype html><html lang=\"ru\"><head><meta charset=\"utf-8\"><title>КП &quot;Озеро&quot;</title>\n"
      "<style>body{font:15px/1.4 system-ui,sans-serif;color:#171717;padding:24px}table{border-collapse:collapse;"
      "width:100%}td,th{border-bottom:1px solid #e5e5e5;text-align:left;padding:6px 8px}</style>\n"
      "</head><body>\n"
      "\n"
      "<h1>КП &quot;Озеро&quot;</h1>\n"
      "<p>Дом у озера</p>\n"
      "<table><thead><tr><th>Наименование</th><th>Ед.</th><th>Кол-во</th><th>Цена</th><th>Сумма</th></tr></thead>"
      "<tbody>"
      "<tr><td>Стены</td><td></td><td></td><td></td><td>0</td></tr>"
      "<tr><td>Кирпич &lt;b&gt;М150&lt;/b&gt; &amp; раствор</td><td>м²</td><td>2.5</td><td>1 234,5</td>"
      "<td>3 086,25</td></tr>"
      "<tr><td>Доставка</td><td></td><td></td><td></td><td>1 500</td></tr>"
      "</tbody></table>\n"
      "<p>Аванс: 1 000 ₽</p>\n"
      "<p>Итого: 4 586,25 ₽</p></body></html>";
  EXPECT_EQ(proposal_document_html(*reading.document), expected);

  // An empty title falls back in the head and the heading; only an image's data URL is shown.
  snapshot["title"] = "";
  snapshot["logo_b64"] = "data:image/png;base64,AAA=";
  std::string html = proposal_document_html(*ProposalDocument::from_snapshot(snapshot).document);
  EXPECT_NE(html.find("<title>КП</title>"), std::string::npos);
  EXPECT_NE(html.find("<body>\n<img alt=\"\" src=\"data:image/png;base64,AAA=\" style=\"max-height:64px\">\n"
                      "<h1>Коммерческое предложение</h1>"),
            std::string::npos);
  snapshot["logo_b64"] = "data:text/plain;base64,aGVsbG8=";
  EXPECT_EQ(proposal_document_html(*ProposalDocument::from_snapshot(snapshot).document).find("<img"), std::string::npos);
}

TEST(ProposalDocument, ASnapshotWithAWrongMemberIsNotShown) {
  const std::pair<const char*, const char*> cases[] = {
      {R"([])", "the snapshot is not an object"},
      {R"({"object_name":"","lines":[],"stages":[],"total":0})", "title is not a text"},
      {R"({"title":"","object_name":"","lines":{},"stages":[],"total":0})", "lines is not an array"},
      {R"({"title":"","object_name":"","lines":[5],"stages":[],"total":0})", "lines[0] is not an object"},
      {R"({"title":"","object_name":"","lines":[{"name":"a","total":"1"}],"stages":[],"total":0})",
       "lines[0].total is not a number"},
      {R"({"title":"","object_name":"","lines":[{"name":"a","unit":3,"total":1}],"stages":[],"total":0})",
       "lines[0].unit has the wrong type"},
      {R"({"title":"","object_name":"","lines":[],"stages":[{"title":"a"}],"total":0})",
       "stages[0].amount is not a number"},
      {R"({"title":"","object_name":"","lines":[],"stages":[],"total":0,"logo_b64":1})", "logo_b64 has the wrong type"},
  };
  for (const auto& [text, problem] : cases) {
    auto reading = ProposalDocument::from_snapshot(Json::parse(text));
    EXPECT_FALSE(reading.document) << text;
    EXPECT_EQ(reading.problem, problem) << text;
  }
}

TEST(MoneyText, IsThePagesMoneyForm) {
  const std::pair<double, const char*> cases[] = {
      {0, "0"},          {1500, "1 500"},         {1234567.5, "1 234 567,5"}, {0.1, "0,1"},
      {1.005, "1,01"},   {2.675, "2,68"},         {-20, "-20"},               {-0.001, "0"},
      {999.995, "1 000"}, {102425, "102 425"},    {3086.25, "3 086,25"},
  };
  for (const auto& [value, text] : cases) EXPECT_EQ(money_text(value), text) << value;
  const std::pair<double, const char*> plain[] = {{2.5, "2.5"}, {120.5, "120.5"}, {0.1, "0.1"}, {1e21, "1e+21"},
                                                  {1.5e-7, "1.5e-7"}, {-0.0, "0"}, {100, "100"}};
  for (const auto& [value, text] : plain) EXPECT_EQ(plain_number_text(value), text) << value;
}

}  // namespace
}  // namespace calcora
