#include "exchange/csv_table.h"

#include <algorithm>

#include "common/errors.h"
#include "common/utf8.h"

namespace calcora {


std::vector<std::vector<Cell>> parse_csv_table(std::string_view text) {
  if (!is_valid_utf8(text)) throw CommandError(kNotUtf8Message);
  if (text.substr(0, 3) == "\xEF\xBB\xBF") text.remove_prefix(3);
  const std::string_view first_line = text.substr(0, text.find('\n'));
  const char sep = first_line.find(';') != std::string_view::npos ? ';' : ',';

  std::vector<std::vector<Cell>> rows;
  std::vector<Cell> record;
  std::string field;
  bool quoted = false, field_started = false;
  auto end_field = [&] {
    record.push_back(Cell{CellKind::kText, 0, std::move(field)});
    field.clear();
    field_started = false;
  };
  auto end_record = [&] {
    if (field_started || !field.empty() || !record.empty()) {
      end_field();
      rows.push_back(std::move(record));
      record.clear();
      record.reserve(rows.back().size());  // the next row has as many fields, most likely
    }
  };
  // Runs of ordinary characters are copied whole: a price list is megabytes of them.
  bool stops_unquoted[256] = {};
  for (char c : {sep, '"', '\n', '\r'}) stops_unquoted[static_cast<unsigned char>(c)] = true;
  auto run_end = [&](size_t from) {
    if (quoted) return std::min(text.find('"', from), text.size());
    while (from < text.size() && !stops_unquoted[static_cast<unsigned char>(text[from])]) ++from;
    return from;
  };
  for (size_t i = 0; i < text.size(); ++i) {
    if (const size_t end = run_end(i); end > i) {
      field.append(text.substr(i, end - i));
      i = end - 1;
      continue;
    }
    const char c = text[i];
    if (quoted) {
      if (c == '"' && i + 1 < text.size() && text[i + 1] == '"') {
        field += '"';
        ++i;
      } else if (c == '"') {
        quoted = false;
      } else {
        field += c;
      }
    } else if (c == '"') {
      quoted = true;
      field_started = true;
    } else if (c == sep) {
      end_field();
      field_started = true;  // a separator always opens one more field
    } else if (c == '\n') {
      end_record();
    } else if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n') {
      continue;
    } else {
      field += c;
    }
  }
  end_record();
  return rows;
}

}  // namespace calcora
