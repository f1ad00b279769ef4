// What the PDF writer is given: pages of ready-made text lines, each in one of the two
// fonts the program carries. The writer does no layout of its own.
#pragma once

#include <string>
#include <vector>

namespace calcora::pdf {

enum class FontChoice { sans, serif };

struct TextLine {
  std::string text;  // UTF-8
  FontChoice font = FontChoice::sans;
};

// The first line of a page is set larger: it carries the estimate's title.
struct Page {
  std::vector<TextLine> lines;
};

struct Document {
  std::string title;  // goes into the comment line after the header
  std::vector<Page> pages;
};

}  // namespace calcora::pdf
