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

constexpr bool every_word_has_four_bytes() {
  for (auto w : kMachineryWords)
    if (w.size() < 4) return false;
  for (auto w : kWorkWords)
    if (w.size() < 4) return false;
  return true;
}
static_assert(every_word_has_four_bytes(), "the scanner finds words by their first four bytes");

// The first four bytes of a word (its first two letters), hashed into 16 bits.
uint16_t head_at(const char* p) {
  uint32_t bytes;
  std::memcpy(&bytes, p, sizeof bytes);
  return static_cast<uint16_t>((bytes * 0x9E3779B1u) >> 16);
}

// Finds every word of both lists in one pass over the name: the heads of the words are kept in
// a bit set, and only where the name has such a head are the words compared. Searching the
// name once per word cost as much as reading the imported sheet.
class WordScanner {
 public:
  WordScanner() {
    for (auto w : kMachineryWords) add(w, true);
    for (auto w : kWorkWords) add(w, false);
  }
  // 2 when a machinery word occurs, else 1 when a work word occurs, else 0.
  int strongest(std::string_view text) const {
    int found = 0;
    for (size_t i = 0; i + 4 <= text.size(); ++i) {
      if ((static_cast<unsigned char>(text[i]) & 0xC0) == 0x80) continue;  // no word starts inside a letter
      const uint16_t head = head_at(text.data() + i);
      if (!heads_[head]) continue;
      for (const auto& w : words_) {
        if (w.head != head || w.text.size() > text.size() - i || (w.machinery ? 2 : 1) <= found) continue;
        if (std::memcmp(text.data() + i, w.text.data(), w.text.size()) != 0) continue;
        found = w.machinery ? 2 : 1;
        if (found == 2) return found;
      }
    }
    return found;
  }

 private:
  struct Word {
    std::string_view text;  // at least four bytes
    uint16_t head;
    bool machinery;
  };
  void add(std::string_view w, bool machinery) {
    words_.push_back(Word{w, head_at(w.data()), machinery});
    heads_.set(words_.back().head);
  }
  std::vector<Word> words_;
  std::bitset<65536> heads_;
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
