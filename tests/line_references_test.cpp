// Rewriting line references when lines are copied under new ids.
#include "calc/line_references.h"

#include <gtest/gtest.h>

namespace calcora {
namespace {

TEST(LineReferences, OnlyCompleteReferencesToMappedIdsChange) {
  const std::unordered_map<int64_t, int64_t> ids = {{12, 40}, {7, 41}};
  struct Case {
    const char* formula;
    const char* expected;
  };
  const Case cases[] = {
      {"line:12.qty * line:12.price + line:7.qty", "line:40.qty * line:40.price + line:41.qty"},
      {"line:012.qty", "line:40.qty"},
      {"line:123.qty + line:1.qty", "line:123.qty + line:1.qty"},  // ids not copied stay as written
      {"line:12 + line:12.cost + Line:12.qty + line:.qty", "line:12 + line:12.cost + Line:12.qty + line:.qty"},
      {"стены * 1.05 + line:line:7.price", "стены * 1.05 + line:line:41.price"},
      {"", ""},
  };
  for (const auto& c : cases) EXPECT_EQ(remap_line_references(c.formula, ids), c.expected) << c.formula;
}

}  // namespace
}  // namespace calcora
