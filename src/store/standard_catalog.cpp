#include "store/standard_catalog.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <span>
#include <system_error>
#include <unordered_map>

#include "calc/category.h"
#include "common/embedded_file.h"
#include "store/catalog_text.h"
#include "store/unicode_lower.h"

namespace calcora {

std::span<const EmbeddedFile> standard_catalog_files();  // generated from resources/standard_catalog.txt

namespace {

constexpr std::string_view kEmbeddedName = "standard_catalog.txt";

// A price as people write it in a list: "1200,50" or "1200.5". Anything else (a blank
// inside, a currency sign, an infinity) is no price at all rather than a wrong one.
std::optional<double> parse_price(std::string_view text) {
  std::string s(text);
  std::replace(s.begin(), s.end(), ',', '.');
  const char* begin = s.data();
  const char* end = s.data() + s.size();
  if (begin != end && *begin == '+') {
    ++begin;
    if (begin != end && *begin == '-') return std::nullopt;
  }
  double value = 0;
  auto [ptr, ec] = std::from_chars(begin, end, value);
  if (ec != std::errc() || ptr != end || !std::isfinite(value)) return std::nullopt;
  return value;
}

std::string category_of(std::string_view field) {
  const std::string f = unicode_lower(field);
  if (f == "material" || f == "материал" || f == "материалы") return "material";
  if (f == "equipment" || f == "техника" || f == "оборудование") return "equipment";
  return "work";
}

// The labels of the catalog workbook ("Фикс. сумма", "Без цены") are accepted in any letter case.
std::string line_type_of(std::string_view field) {
  const std::string f = unicode_lower(field);
  if (f == "fixed" || f == "фикс" || f == "фикс. сумма") return "fixed";
  if (f == "quantity_only" || f == "без цены") return "quantity_only";
  return "full";
}

std::vector<std::string_view> split_fields(std::string_view line) {
  std::vector<std::string_view> fields;
  size_t start = 0;
  while (true) {
    size_t bar = line.find('|', start);
    fields.push_back(
        trim_space(line.substr(start, bar == std::string_view::npos ? std::string_view::npos : bar - start)));
    if (bar == std::string_view::npos) break;
    start = bar + 1;
  }
  return fields;
}

int completeness(const StandardEntry& e) {
  return (e.price ? 4 : 0) + (e.unit ? 2 : 0) + (e.line_type != "full" ? 1 : 0);
}

void merge_into(StandardEntry& kept, const StandardEntry& later) {
  if (completeness(later) > completeness(kept)) {
    kept.line_type = later.line_type;
    if (later.unit) kept.unit = later.unit;
    if (later.price) kept.price = later.price;
  } else {
    if (!kept.unit) kept.unit = later.unit;
    if (!kept.price) kept.price = later.price;
    if (kept.line_type == "full" && later.line_type != "full") kept.line_type = later.line_type;
  }
  // A name that is a work anywhere is a work: a material line must not hide the labour.
  if (kept.category == "work" || later.category == "work") kept.category = "work";
}

}  // namespace

std::string_view embedded_standard_catalog_text() {
  const EmbeddedFile* file = find_embedded(standard_catalog_files(), kEmbeddedName);
  return file ? file->bytes : std::string_view();
}

std::vector<StandardEntry> parse_standard_catalog(std::string_view text) {
  std::vector<StandardEntry> entries;
  size_t pos = 0;
  while (pos <= text.size()) {
    size_t eol = text.find('\n', pos);
    if (eol == std::string_view::npos) eol = text.size();
    std::string_view line = trim_space(text.substr(pos, eol - pos));
    pos = eol + 1;
    if (line.empty() || line.front() == '#') continue;

    auto fields = split_fields(line);
    StandardEntry entry;
    if (fields.size() >= 4) {
      if (fields[0].empty()) continue;
      entry.name = fields[0];
      if (!fields[1].empty()) entry.unit = std::string(fields[1]);
      entry.category = category_of(fields[2]);
      entry.line_type = line_type_of(fields[3]);
      if (fields.size() >= 5 && !fields[4].empty()) entry.price = parse_price(fields[4]);
    } else {
      // A short line is a bare name, bars and all.
      entry.name = line;
      entry.category = guess_category(line);
    }
    entries.push_back(std::move(entry));
  }
  return entries;
}

std::vector<StandardEntry> read_examples_dir(const std::filesystem::path& examples_dir, CatalogWorkbookReader reader) {
  std::vector<StandardEntry> entries;
  std::error_code ec;
  std::filesystem::directory_iterator it(examples_dir, ec);
  if (ec) return entries;  // no folder, or one we may not list: nothing to offer
  for (; it != std::filesystem::directory_iterator(); it.increment(ec)) {
    if (ec) break;
    if (it->path().extension() != ".xlsx") continue;
    try {
      auto found = reader(it->path());
      entries.insert(entries.end(), std::make_move_iterator(found.begin()), std::make_move_iterator(found.end()));
    } catch (const std::exception&) {
      // An unreadable workbook is skipped without a word: the examples are a convenience.
    }
  }
  return entries;
}

std::vector<StandardEntry> load_standard_entries(const std::filesystem::path& examples_dir,
                                                 CatalogWorkbookReader reader) {
  auto entries = read_examples_dir(examples_dir, reader);
  if (!entries.empty()) return entries;
  return parse_standard_catalog(embedded_standard_catalog_text());
}

std::vector<StandardEntry> combine_standard_entries(std::vector<StandardEntry> entries) {
  std::vector<std::pair<std::string, StandardEntry>> kept;  // lower-cased name, entry
  std::unordered_map<std::string, size_t> index;
  for (auto& entry : entries) {
    std::string key = unicode_lower(entry.name);
    auto [it, inserted] = index.try_emplace(key, kept.size());
    if (inserted)
      kept.emplace_back(std::move(key), std::move(entry));
    else
      merge_into(kept[it->second].second, entry);
  }
  std::sort(kept.begin(), kept.end(), [](const auto& a, const auto& b) { return a.first < b.first; });
  std::vector<StandardEntry> out;
  out.reserve(kept.size());
  for (auto& [key, entry] : kept) out.push_back(std::move(entry));
  return out;
}

}  // namespace calcora
