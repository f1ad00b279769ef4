// Answers written as text value by value read exactly as the same records dumped as a document.
#include <gtest/gtest.h>

#include <limits>

#include "store/estimate_records.h"

namespace calcora {
namespace {

TEST(JsonText, EstimateTextIsTheRecordDumpedAsADocument) {
  SaveEstimatePayload p;
  p.estimate.id = 7;
  p.estimate.object_name = "Дом \"у реки\"\\\n";
  p.estimate.kp_json = R"({"a":1})";
  const double inf = std::numeric_limits<double>::infinity();
  const std::string names[] = {"Кран \"Шаровой\" 1/2\"", "таб\tстрока\x01\x1f\x7f", "Плитка 😀 𝔸",
                               "битый \xD0 и \xFF\xFE", "обрыв \xE2\x80", "",
                               "удалить\x7f", "Ёмкость 3×1,5 — «ВВГ»"};
  const std::optional<double> reals[] = {0.1 + 0.2, 1e21, -0.0, inf, std::nullopt, 1.0 / 3};
  for (size_t i = 0; i < std::size(names); ++i) {
    EstimateLine l;
    if (i % 2) l.id = static_cast<int64_t>(i) * 1000000007;
    l.estimate_id = 7;
    l.sort_order = static_cast<int32_t>(i);
    l.line_type = i % 3 ? "full" : "section";
    l.name = names[i];
    if (i % 2) l.unit = "м\"²";
    l.quantity = reals[i % std::size(reals)];
    l.unit_price = reals[(i + 1) % std::size(reals)];
    l.fixed_total = reals[(i + 3) % std::size(reals)];
    if (i == 2) l.catalog_item_id = -5;
    l.name_bold = i % 2 == 0;
    l.category = "material";
    if (i == 1) l.format_json = R"({"bold":true})";
    if (i == 3) l.sku = "SKU\\1";
    l.cost_price = reals[(i + 2) % std::size(reals)];
    if (i == 4) l.formula = "=L1*2";
    p.lines.push_back(l);
  }
  p.footer.estimate_id = 7;
  p.footer.materials = 1e-7;
  p.footer.delivery = -inf;
  p.footer.extras_json = "[]";
  EXPECT_EQ(to_json_text(p), to_json(p).dump(-1, ' ', false, Json::error_handler_t::replace));
  p.lines.clear();
  EXPECT_EQ(to_json_text(p), to_json(p).dump(-1, ' ', false, Json::error_handler_t::replace));
}

}  // namespace
}  // namespace calcora
