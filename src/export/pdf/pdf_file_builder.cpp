#include "export/pdf/pdf_file_builder.h"

#include <cstdio>

namespace calcora::pdf {

namespace {

// The comment line ends at the first line break; one inside the text would spill the rest
// of it into the file's body, so breaks are written as spaces there.
std::string single_line(std::string_view text) {
  std::string line(text);
  for (char& c : line)
    if (c == '\n' || c == '\r') c = ' ';
  return line;
}

}  // namespace

PdfFileBuilder::PdfFileBuilder(std::string_view comment, size_t expected_size) {
  out_.reserve(expected_size);
  out_ += "%PDF-1.4\n% ";
  out_ += single_line(comment);
  out_ += '\n';
}

void PdfFileBuilder::begin_object() {
  offsets_.push_back(out_.size());
  out_ += std::to_string(offsets_.size());
  out_ += " 0 obj\n";
}

void PdfFileBuilder::end_object() {
  if (out_.back() != '\n') out_ += '\n';
  out_ += "endobj\n";
}

int PdfFileBuilder::add(std::string_view body) {
  begin_object();
  out_ += body;
  end_object();
  return static_cast<int>(offsets_.size());
}

int PdfFileBuilder::add_stream(std::string_view data, std::string_view extra) {
  begin_object();
  out_ += "<< /Length ";
  out_ += std::to_string(data.size());
  out_ += ' ';
  out_ += extra;
  out_ += ">>\nstream\n";
  out_ += data;
  // The line feed before "endstream" is not part of the data, so /Length leaves it out.
  if (data.empty() || data.back() != '\n') out_ += '\n';
  out_ += "endstream\n";
  end_object();
  return static_cast<int>(offsets_.size());
}

std::string PdfFileBuilder::finish() && {
  const size_t xref = out_.size();
  const std::string size = std::to_string(offsets_.size() + 1);
  out_ += "xref\n0 " + size + "\n0000000000 65535 f \n";
  for (size_t offset : offsets_) {
    char entry[32];
    std::snprintf(entry, sizeof entry, "%010zu 00000 n \n", offset);
    out_ += entry;
  }
  out_ += "trailer\n<< /Size " + size + " /Root 1 0 R >>\nstartxref\n" + std::to_string(xref) + "\n%%EOF\n";
  return std::move(out_);
}

}  // namespace calcora::pdf
