#include "export/pdf/embedded_fonts.h"

#include <zlib.h>

#include <stdexcept>
#include <string>

namespace calcora::pdf {

namespace {

EmbeddedFont load(std::string_view file_name, std::string_view base_name) {
  const EmbeddedFile* file = find_embedded(font_files(), file_name);
  if (file == nullptr || file->bytes.empty())
    throw std::logic_error("font " + std::string(file_name) + " was not compiled into this build");
  return {base_name, file->bytes};
}

}  // namespace

const EmbeddedFont& embedded_font(FontChoice choice) {
  static const EmbeddedFont sans = load("DejaVuSans.ttf", "DejaVuSans");
  static const EmbeddedFont serif = load("FreeSerif.ttf", "FreeSerif");
  return choice == FontChoice::serif ? serif : sans;
}

std::string deflate_font_file(std::string_view file) {
  uLongf size = compressBound(static_cast<uLong>(file.size()));
  std::string out(size, '\0');
  int rc = compress2(reinterpret_cast<Bytef*>(out.data()), &size, reinterpret_cast<const Bytef*>(file.data()),
                     static_cast<uLong>(file.size()), 6);
  if (rc != Z_OK) throw std::runtime_error("zlib compress2 failed: " + std::to_string(rc));
  out.resize(size);
  return out;
}

const std::string& compressed_font_file(FontChoice choice) {
  // Function-local statics: computed on first use, safe if two exports ever race.
  if (choice == FontChoice::serif) {
    static const std::string serif = deflate_font_file(embedded_font(FontChoice::serif).file);
    return serif;
  }
  static const std::string sans = deflate_font_file(embedded_font(FontChoice::sans).file);
  return sans;
}

}  // namespace calcora::pdf
