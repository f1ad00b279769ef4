// Line references inside quantity formulas ("line:<id>.qty", "line:<id>.price") name other lines
// of the same estimate by id. When lines are copied under new ids, the references must follow.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <unordered_map>

namespace calcora {

// Rewrites every reference whose id is a key of `new_ids` to the mapped id; all other text,
// including references to ids not in the map, stays byte for byte.
std::string remap_line_references(std::string_view formula, const std::unordered_map<int64_t, int64_t>& new_ids);

}  // namespace calcora
