// The native totals: line sums, buckets, the footer's add-ons, markup and the extra sums.
#include "calc/totals.h"

#include <gtest/gtest.h>

#include <cmath>

namespace calcora {
namespace {

EstimateLine line(const char* type, std::optional<double> qty, std::optional<double> price,
                  std::optional<double> fixed = std::nullopt, const char* category = "work") {
  EstimateLine l;
  l.line_type = type;
  l.quantity = qty;
  l.unit_price = price;
  l.fixed_total = fixed;
  l.category = category;
  return l;
}

TEST(Totals, LineSumsByType) {
  struct Case {
    EstimateLine line;
    double sum;
  };
  const Case cases[] = {
      {line("full", 2.5, 1000), 2500},       {line("quantity_only", 2.5, 1000), 0},
      {line("fixed", 2.5, 1000), 0},         {line("fixed", std::nullopt, std::nullopt, 1200), 1200},
      {line("section", 2, 3, 4), 0},         {line("", 2, 3), 6},
      {line("unknown", 2, std::nullopt), 0},
  };
  for (const auto& c : cases) EXPECT_EQ(line_sum(c.line), c.sum) << c.line.line_type;
}

TEST(Totals, CategoriesAreTrimmedAndComparedExactly) {
  std::vector<EstimateLine> lines = {
      line("full", 1, 100, {}, "Material"),   line("full", 1, 10, {}, " material "), line("full", 1, 1, {}, "delivery"),
      line("full", 1, 1000, {}, "equipment"), line("full", 1, 10000, {}, ""),
  };
  EstimateTotals t = compute_totals(lines, default_footer(1));
  EXPECT_EQ(t.works, 10101);
  EXPECT_EQ(t.materials, 10);
  EXPECT_EQ(t.equipment, 1000);
  EXPECT_EQ(t.grand, 11111);
  EXPECT_EQ(t.balance, 11111);
}

TEST(Totals, FooterAddOnsMarkupAndAdvance) {
  std::vector<EstimateLine> lines = {line("full", 10, 100), line("full", 1, 300, {}, "material")};
  EstimateFooter f = default_footer(1);
  f.materials = 500;
  f.delivery = 3000;
  f.advance = 2000;
  f.extras_json = R"([{"id":"a","label":"Подъём","amount":250,"enabled":true},{"amount":1000,"enabled":false}])";

  // Switched off: the add-on and delivery do not count, and the markup sees delivery as 0;
  // the advance enters the formula as stored although it is not shown.
  f.markup_formula = "  доставка + аванс * 0.1  ";
  EstimateTotals off = compute_totals(lines, f);
  EXPECT_EQ(off.materials, 300);
  EXPECT_EQ(off.delivery, 0);
  EXPECT_EQ(off.extras, 250);
  EXPECT_EQ(off.markup, 200);
  EXPECT_EQ(off.grand, 1000 + 300 + 250 + 200);
  EXPECT_EQ(off.advance, 2000);
  EXPECT_EQ(off.balance, off.grand);

  f.show_materials = f.show_delivery = f.show_advance = true;
  f.markup_formula = "-(работы + материалы + доп) * 0.1";  // a negative markup lowers the total
  EstimateTotals on = compute_totals(lines, f);
  EXPECT_EQ(on.materials, 800);
  EXPECT_EQ(on.delivery, 3000);
  EXPECT_DOUBLE_EQ(on.markup, -205);
  EXPECT_DOUBLE_EQ(on.grand, 1000 + 800 + 3000 + 250 - 205);
  EXPECT_DOUBLE_EQ(on.balance, on.grand - 2000);

  f.advance = 10000;  // an advance above the total leaves a negative remainder
  EXPECT_LT(compute_totals(lines, f).balance, 0);
}

TEST(Totals, BadOrDividingMarkup) {
  std::vector<EstimateLine> lines = {line("full", 1, 100)};
  EstimateFooter f = default_footer(1);
  for (const char* formula : {"works *", "стены * 2", "   ", "works * 0.1)"}) {
    f.markup_formula = formula;
    EXPECT_EQ(compute_totals(lines, f).markup, 0) << formula;
    EXPECT_EQ(compute_totals(lines, f).grand, 100) << formula;
  }
  f.markup_formula = "works / 0";
  EstimateTotals t = compute_totals(lines, f);
  EXPECT_TRUE(std::isinf(t.grand));
  EXPECT_TRUE(to_json(t)["grand"].is_null());
  EXPECT_EQ(to_json(t)["works"], 100.0);
}

TEST(Totals, ExtraSumsReadOnlyAmountAndEnabled) {
  struct Case {
    std::optional<std::string> json;
    double sum;
  };
  const Case cases[] = {
      {std::nullopt, 0},
      {"", 0},
      {"  ", 0},
      {"not json", 0},
      {R"({"amount":5})", 0},
      {R"([{"amount":5},{"label":7,"amount":2.5,"enabled":true},{"amount":100,"enabled":false}])", 7.5},
      {R"([{"id":"x"}])", 0},
      // One malformed element makes the whole text count 0.
      {R"([{"amount":5},{"amount":"7"}])", 0},
      {R"([{"amount":5},{"amount":1,"enabled":"no"}])", 0},
      {R"([{"amount":5},3])", 0},
  };
  for (const auto& c : cases) EXPECT_EQ(extras_sum(c.json), c.sum) << c.json.value_or("<null>");
}

}  // namespace
}  // namespace calcora
