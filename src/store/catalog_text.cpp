#include "store/catalog_text.h"

#include <cstdint>

namespace calcora {

namespace {

bool is_space_code_point(char32_t c) {
  return (c >= 0x09 && c <= 0x0D) || c == 0x20 || c == 0x85 || c == 0xA0 || c == 0x1680 ||
         (c >= 0x2000 && c <= 0x200A) || c == 0x2028 || c == 0x2029 || c == 0x202F || c == 0x205F || c == 0x3000;
}

// Length in bytes of a white-space character starting at `pos`, or 0 when there is none.
// Malformed UTF-8 is never white space.
size_t space_at(std::string_view s, size_t pos) {
  auto byte = [&](size_t i) { return static_cast<uint8_t>(s[i]); };
  uint8_t b0 = byte(pos);
  if (b0 < 0x80) return is_space_code_point(b0) ? 1 : 0;
  size_t len = (b0 & 0xE0) == 0xC0 ? 2 : (b0 & 0xF0) == 0xE0 ? 3 : 0;  // white space is never 4 bytes long
  if (len == 0 || pos + len > s.size()) return 0;
  char32_t c = b0 & (len == 2 ? 0x1F : 0x0F);
  for (size_t i = 1; i < len; ++i) {
    if ((byte(pos + i) & 0xC0) != 0x80) return 0;
    c = (c << 6) | (byte(pos + i) & 0x3F);
  }
  return is_space_code_point(c) ? len : 0;
}

// Length of a white-space character that ends just before `end`, or 0.
size_t space_before(std::string_view s, size_t end) {
  for (size_t len = 1; len <= 3 && len <= end; ++len)
    if (space_at(s, end - len) == len) return len;
  return 0;
}

constexpr std::string_view kYeLetters[] = {"е", "ё", "Е", "Ё"};

// The byte length of an е/ё/Е/Ё at `pos`, or 0.
size_t ye_at(std::string_view s, size_t pos) {
  for (auto letter : kYeLetters)
    if (s.substr(pos, letter.size()) == letter) return letter.size();
  return 0;
}

}  // namespace

std::vector<std::string> ye_spellings(std::string_view word) {
  std::vector<std::string> spellings{std::string()};
  int letters = 0;
  for (size_t pos = 0; pos < word.size();) {
    const size_t n = ye_at(word, pos);
    if (n == 0) {
      for (auto& s : spellings) s += word[pos];
      ++pos;
      continue;
    }
    if (++letters > kMaxFoldedYeLetters) break;
    const std::string_view typed = word.substr(pos, n);
    const bool typed_yo = typed == "ё" || typed == "Ё";
    // The typed letter keeps its place in the first spelling; the other reading follows.
    std::vector<std::string> next;
    next.reserve(spellings.size() * 2);
    for (const auto& s : spellings) {
      next.push_back(s + std::string(typed));
      next.push_back(s + (typed_yo ? "е" : "ё"));
    }
    spellings = std::move(next);
    pos += n;
  }
  return spellings;
}

std::string fold_yo(std::string_view lowered) {
  std::string out;
  out.reserve(lowered.size());
  for (size_t pos = 0; pos < lowered.size(); ++pos) {
    if (lowered.substr(pos, 2) == "ё") {
      out += "е";
      ++pos;
    } else {
      out += lowered[pos];
    }
  }
  return out;
}

std::string_view trim_space(std::string_view text) {
  size_t begin = 0, end = text.size();
  while (begin < end) {
    size_t n = space_at(text, begin);
    if (n == 0) break;
    begin += n;
  }
  while (end > begin) {
    size_t n = space_before(text, end);
    if (n == 0) break;
    end -= n;
  }
  return text.substr(begin, end - begin);
}

std::vector<std::string_view> split_space(std::string_view text) {
  std::vector<std::string_view> words;
  size_t pos = 0, word_start = 0;
  while (pos < text.size()) {
    size_t n = space_at(text, pos);
    if (n == 0) {
      ++pos;
      continue;
    }
    if (pos > word_start) words.push_back(text.substr(word_start, pos - word_start));
    pos += n;
    word_start = pos;
  }
  if (pos > word_start) words.push_back(text.substr(word_start, pos - word_start));
  return words;
}

}  // namespace calcora
