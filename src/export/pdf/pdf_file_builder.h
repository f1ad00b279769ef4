// Assembles a PDF file in one memory buffer: numbered objects in the order they are added,
// then the cross-reference table with each object's exact byte offset, and the trailer.
// Objects go straight into the buffer, so the large font streams are copied only once.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace calcora::pdf {

class PdfFileBuilder {
 public:
  // Writes the header and a comment line carrying `comment`. `expected_size` reserves the
  // buffer up front.
  PdfFileBuilder(std::string_view comment, size_t expected_size);

  // The number the next added object gets; objects are numbered from 1 in order.
  int next_number() const { return static_cast<int>(offsets_.size()) + 1; }

  int add(std::string_view body);
  // A stream object; `extra` goes after the length inside the dictionary and, when not
  // empty, ends with a space.
  int add_stream(std::string_view data, std::string_view extra = {});

  // Appends the cross-reference table and the trailer (the first object is the catalog).
  std::string finish() &&;

 private:
  void begin_object();
  void end_object();

  std::string out_;
  std::vector<size_t> offsets_;
};

}  // namespace calcora::pdf
