// The category guess from a line's name.
#include "calc/category.h"

#include <gtest/gtest.h>

namespace calcora {
namespace {

TEST(CategoryGuess, MachineryFirstThenWorkElseMaterial) {
  struct Case {
    const char* name;
    const char* category;
  };
  const Case cases[] = {
      {"Аренда экскаватора", "equipment"},
      {"Монтаж крана", "equipment"},  // "кран" inside "крана" wins over the work word
      {"Подкрановая балка", "equipment"},
      {"АРЕНДА ТЕХНИКИ на день", "equipment"},
      {"Маш-час автовышки", "equipment"},
      {"Штукатурка стен", "work"},
      {"МОНТАЖ ОКОН", "work"},
      {"Перепайка контактов", "work"},  // a work word inside a longer word counts
      {"Кабель, прокладка", "work"},    // a word that ends the name
      {"Кабель, проклад", "material"},  // a word cut short by the end of the name
      {"Монтаж и аренда техники", "equipment"},  // machinery after a work word still wins
      {"Ёмкость; КРАН шаровой", "equipment"},
      {"Смесь штукатурная", "material"},
      {"Бетон М300", "material"},
      {"Cable 3x1.5", "material"},
      {"", "material"},
      {"   ", "material"},
  };
  for (const auto& c : cases) EXPECT_EQ(guess_category(c.name), c.category) << c.name;
}

}  // namespace
}  // namespace calcora
