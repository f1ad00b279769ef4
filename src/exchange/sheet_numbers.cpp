#include "exchange/sheet_numbers.h"

#include <zip.h>

#include <charconv>
#include <deque>
#include <optional>
#include <string_view>

#include "common/errors.h"
#include "common/number_text.h"
#include "common/utf8_path.h"

namespace calcora {

namespace {

// A cell's start tag holds a number when it has no type or the type "n" (ECMA-376 Part 1,
// 18.18.11 ST_CellType: shared strings, inline strings, formula strings, booleans and errors
// carry a type of their own).
bool cell_holds_number(std::string_view start_tag) {
  const size_t at = start_tag.find(" t=\"");
  return at == std::string_view::npos || start_tag.substr(at + 4, 2) == "n\"";
}

// The value's text written anew, or nothing when it does not read as a number.
std::optional<std::string> shortest_cell_text(std::string_view value) {
  double number = 0;
  const auto [end, error] = std::from_chars(value.data(), value.data() + value.size(), number);
  if (error != std::errc() || end != value.data() + value.size()) return std::nullopt;
  std::string text = number_text(number);
  if (text.empty()) return std::nullopt;
  return text;
}

[[noreturn]] void throw_archive_error(zip_t* zip) {
  std::string text = std::string("ошибка записи книги: ") + zip_strerror(zip);
  zip_discard(zip);
  throw CommandError(text);
}

bool is_worksheet_part(std::string_view name) {
  constexpr std::string_view kFolder = "xl/worksheets/", kExtension = ".xml";
  return name.size() > kFolder.size() + kExtension.size() && name.substr(0, kFolder.size()) == kFolder &&
         name.substr(name.size() - kExtension.size()) == kExtension &&
         name.find('/', kFolder.size()) == std::string_view::npos;
}

}  // namespace

// Cells are <c …>…<v>value</v></c> or an empty <c …/> (ECMA-376 Part 1, 18.3.1.4 and 18.3.1.96).
std::string shorten_sheet_numbers(std::string_view xml) {
  std::string out;
  out.reserve(xml.size());
  size_t done = 0;
  for (size_t at = xml.find("<c ", done); at != std::string_view::npos; at = xml.find("<c ", done)) {
    const size_t tag_end = xml.find('>', at);
    if (tag_end == std::string_view::npos) break;
    const size_t cell_end = xml.find("</c>", tag_end);
    const bool empty = xml[tag_end - 1] == '/';
    if (empty || cell_end == std::string_view::npos || !cell_holds_number(xml.substr(at, tag_end - at))) {
      out.append(xml.substr(done, tag_end + 1 - done));
      done = tag_end + 1;
      continue;
    }
    const size_t v = xml.find("<v>", tag_end);
    const size_t v_end = v == std::string_view::npos ? v : xml.find("</v>", v);
    if (v == std::string_view::npos || v_end == std::string_view::npos || v_end > cell_end) {
      out.append(xml.substr(done, cell_end - done));
      done = cell_end;
      continue;
    }
    const std::string_view value = xml.substr(v + 3, v_end - v - 3);
    out.append(xml.substr(done, v + 3 - done));
    if (auto text = shortest_cell_text(value))
      out.append(*text);
    else
      out.append(value);
    done = v_end;
  }
  out.append(xml.substr(done));
  return out;
}

void shorten_workbook_numbers(const std::filesystem::path& path) {
  int code = 0;
  zip_t* zip = zip_open(path_utf8(path).c_str(), 0, &code);  // libzip takes UTF-8 names on Windows
  if (!zip) {
    zip_error_t error;
    zip_error_init_with_code(&error, code);
    std::string text = std::string("ошибка записи книги: ") + zip_error_strerror(&error);
    zip_error_fini(&error);
    throw CommandError(text);
  }
  // The new parts must live until the archive is written.
  std::deque<std::string> parts;
  const zip_int64_t count = zip_get_num_entries(zip, 0);
  for (zip_int64_t i = 0; i < count; ++i) {
    const auto index = static_cast<zip_uint64_t>(i);
    const char* name = zip_get_name(zip, index, 0);
    if (!name || !is_worksheet_part(name)) continue;
    zip_stat_t stat;
    if (zip_stat_index(zip, index, 0, &stat) != 0) throw_archive_error(zip);
    std::string xml(stat.size, '\0');
    zip_file_t* file = zip_fopen_index(zip, index, 0);
    if (!file) throw_archive_error(zip);
    const zip_int64_t read = zip_fread(file, xml.data(), xml.size());
    zip_fclose(file);
    if (read != static_cast<zip_int64_t>(xml.size())) throw_archive_error(zip);
    std::string& part = parts.emplace_back(shorten_sheet_numbers(xml));
    if (part == xml) continue;
    zip_source_t* source = zip_source_buffer(zip, part.data(), part.size(), 0);
    if (!source) throw_archive_error(zip);
    if (zip_file_replace(zip, index, source, 0) != 0) {
      zip_source_free(source);
      throw_archive_error(zip);
    }
    // The part keeps the writer's fixed date instead of the moment of this rewrite, so the same
    // estimate gives the same bytes on every run and platform.
    if ((stat.valid & ZIP_STAT_MTIME) && zip_file_set_mtime(zip, index, stat.mtime, 0) != 0) throw_archive_error(zip);
  }
  if (zip_close(zip) != 0) throw_archive_error(zip);
}

}  // namespace calcora
