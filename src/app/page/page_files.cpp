#include "app/page/page_files.h"

#include <stdexcept>

namespace calcora {

const EmbeddedFile& page_file_for_path(std::string_view path) {
  if (auto* f = find_embedded(page_files(), path)) return *f;
  if (auto* index = find_embedded(page_files(), "/index.html")) return *index;
  throw std::logic_error("the page was not compiled into this build");
}

std::string_view mime_type_for(std::string_view name) {
  auto ends_with = [&](std::string_view suffix) {
    return name.size() >= suffix.size() && name.substr(name.size() - suffix.size()) == suffix;
  };
  if (ends_with(".html")) return "text/html; charset=utf-8";
  if (ends_with(".js")) return "text/javascript; charset=utf-8";
  if (ends_with(".css")) return "text/css; charset=utf-8";
  if (ends_with(".svg")) return "image/svg+xml";
  if (ends_with(".png")) return "image/png";
  if (ends_with(".woff2")) return "font/woff2";
  return "application/octet-stream";
}

}  // namespace calcora
