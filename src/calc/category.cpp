#include "calc/category.h"

#include <array>

#include "store/unicode_lower.h"

namespace calcora {

namespace {

// Both lists are plain substrings, so "кран" also catches "крана" and "подкрановая";
// machinery is tested first, so "монтаж крана" is machinery.
constexpr std::array<std::string_view, 8> kMachineryWords = {
    "экскаватор", "кран", "компрессор", "маш-час", "минипогрузчик", "бетононасос", "вышка", "аренда техники",
};

constexpr std::array<std::string_view, 31> kWorkWords = {
    "установка",   "монтаж",   "прокладка",  "вывод",      "сверление", "вырезка",  "расключение", "прозвонка",
    "подключение", "демонтаж", "штробление", "заземление", "сборка",    "разводка", "устройство",  "навеска",
    "обвязка",     "перенос",  "замена",     "ревизия",    "испытание", "наладка",  "разметка",    "обшивка",
    "покраска",    "зачистка", "штукатурка", "стяжка",     "кладка",    "заливка",  "пайка",
};

template <size_t N>
bool contains_any(const std::string& text, const std::array<std::string_view, N>& words) {
  for (auto word : words)
    if (text.find(word) != std::string::npos) return true;
  return false;
}

}  // namespace

std::string guess_category(std::string_view name) {
  const std::string lowered = unicode_lower(name);
  if (contains_any(lowered, kMachineryWords)) return "equipment";
  if (contains_any(lowered, kWorkWords)) return "work";
  return "material";
}

}  // namespace calcora
