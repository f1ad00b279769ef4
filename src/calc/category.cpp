#include "calc/category.h"

#include <array>
#include <bitset>
#include <cstdint>
#include <cstring>
#include <vector>

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

uint16_t pair_at(const char* p) {
  return static_cast<uint16_t>(static_cast<unsigned char>(p[0]) << 8 | static_cast<unsigned char>(p[1]));
}

// Finds every word of both lists in one pass over the name. Each word is Cyrillic, so nearly
// every byte pair of a Cyrillic name starts a letter; the pairs that begin some word are kept
// in a bit set, and only there are the words compared. Searching the name once per word cost
// as much as reading the imported sheet.
class WordScanner {
 public:
  WordScanner() {
    for (auto w : kMachineryWords) add(w, true);
    for (auto w : kWorkWords) add(w, false);
  }
  // 2 when a machinery word occurs, else 1 when a work word occurs, else 0.
  int strongest(std::string_view text) const {
    int found = 0;
    for (size_t i = 0; i + 1 < text.size(); ++i) {
      const uint16_t pair = pair_at(text.data() + i);
      if (!starts_[pair]) continue;
      for (const auto& w : words_) {
        if (w.first_pair != pair || w.text.size() > text.size() - i || (w.machinery ? 2 : 1) <= found) continue;
        if (std::memcmp(text.data() + i, w.text.data(), w.text.size()) != 0) continue;
        found = w.machinery ? 2 : 1;
        if (found == 2) return found;
      }
    }
    return found;
  }

 private:
  struct Word {
    std::string_view text;
    uint16_t first_pair;
    bool machinery;
  };
  void add(std::string_view w, bool machinery) {
    words_.push_back(Word{w, pair_at(w.data()), machinery});
    starts_.set(words_.back().first_pair);
  }
  std::vector<Word> words_;
  std::bitset<65536> starts_;
};

}  // namespace

std::string guess_category(std::string_view name) {
  static const WordScanner scanner;
  switch (scanner.strongest(unicode_lower(name))) {
    case 2: return "equipment";
    case 1: return "work";
    default: return "material";
  }
}

}  // namespace calcora
