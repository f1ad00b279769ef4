// The standard catalog: the price list a new user starts with. It comes from the catalog
// workbooks of the examples folder when there are any, otherwise from the text compiled
// into the program.
#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace calcora {

struct StandardEntry {
  std::string name;
  std::optional<std::string> unit;
  std::optional<double> price;
  std::string line_type = "full";  // "full", "fixed" or "quantity_only"
  std::string category = "work";   // "work", "material" or "equipment"

  bool operator==(const StandardEntry&) const = default;
};

// Reads the positions of one catalog workbook as standard entries; throws when the file
// cannot be read (the caller then skips it). The store reads no workbook itself: the layer
// that composes it with the formats passes the catalog import's reader.
using CatalogWorkbookReader = std::vector<StandardEntry> (*)(const std::filesystem::path& file);

// The standard catalog text compiled into the program.
std::string_view embedded_standard_catalog_text();

// Entries of the standard catalog text format: one "name | unit | category | type | price"
// line per entry, "#" comment lines and blank lines skipped.
std::vector<StandardEntry> parse_standard_catalog(std::string_view text);

// Entries of the ".xlsx" files of the folder in listing order; unreadable files are
// skipped, and a missing folder gives none.
std::vector<StandardEntry> read_examples_dir(const std::filesystem::path& examples_dir, CatalogWorkbookReader reader);

// The examples folder's entries, or the embedded text's when the folder gives none.
std::vector<StandardEntry> load_standard_entries(const std::filesystem::path& examples_dir,
                                                 CatalogWorkbookReader reader);

// One entry per name ignoring letter case, merged so the most complete data wins and a
// name that is work anywhere stays work; sorted by lower-cased name.
std::vector<StandardEntry> combine_standard_entries(std::vector<StandardEntry> entries);

}  // namespace calcora
