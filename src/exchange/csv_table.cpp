#include "exchange/csv_table.h"

#include <algorithm>
#include <iterator>

#include "common/errors.h"
#include "common/utf8.h"

namespace calcora {

namespace {

constexpr size_t kAllRecords = static_cast<size_t>(-1);

// Splits valid UTF-8 text without a byte order mark into at most `max_records` records. Where
// records end does not depend on the separator: quotes open and close fields whatever it is.
std::vector<std::vector<Cell>> split_records(std::string_view text, char sep, size_t max_records) {
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
    if (rows.size() == max_records) return;
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
      if (rows.size() == max_records) return rows;
    } else if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n') {
      continue;
    } else {
      field += c;
    }
  }
  end_record();
  return rows;
}

std::string_view checked_text(std::string_view text) {
  if (!is_valid_utf8(text)) throw CommandError(kNotUtf8Message);
  if (text.substr(0, 3) == "\xEF\xBB\xBF") text.remove_prefix(3);
  return text;
}

char first_line_separator(std::string_view text) {
  const std::string_view first_line = text.substr(0, text.find('\n'));
  return first_line.find(';') != std::string_view::npos ? ';' : ',';
}

}  // namespace

std::vector<std::vector<Cell>> parse_csv_table(std::string_view text) {
  text = checked_text(text);
  return split_records(text, first_line_separator(text), kAllRecords);
}

std::vector<std::vector<Cell>> parse_csv_table(std::string_view text, const CsvHeaderTest& is_header, size_t search) {
  text = checked_text(text);
  constexpr char kSeparators[] = {';', ',', '\t'};
  std::vector<std::vector<Cell>> heads[std::size(kSeparators)];
  for (size_t s = 0; s < std::size(kSeparators); ++s) heads[s] = split_records(text, kSeparators[s], search);
  for (size_t r = 0; r < heads[0].size(); ++r)
    for (size_t s = 0; s < std::size(kSeparators); ++s) {
      if (r >= heads[s].size() || !is_header(heads[s][r])) continue;
      auto rows = split_records(text, kSeparators[s], kAllRecords);
      rows.erase(rows.begin(), rows.begin() + static_cast<std::ptrdiff_t>(r));
      return rows;
    }
  return split_records(text, first_line_separator(text), kAllRecords);
}

}  // namespace calcora
