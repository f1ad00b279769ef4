// Registers the name-memory commands: search_memory, save_to_global_memory and
// save_many_to_global_memory. The merge of the standard catalog reads the examples folder's
// workbooks, so the shell registers it.
#include "commands/dispatcher.h"
#include "store/memory_store.h"
#include "store/store_registration.h"

namespace calcora {

namespace {

MemoryUse memory_use(const Args& a) {
  return MemoryUse{.name = a.required<std::string>("name"),
                   .unit = a.optional<std::string>("unit"),
                   .price = a.optional<double>("price"),
                   .line_type = a.optional<std::string>("lineType"),
                   .category = a.optional<std::string>("category"),
                   .update_price = a.optional<bool>("updatePrice").value_or(false)};
}

}  // namespace

void register_memory_commands(CommandRegistry& registry) {
  registry.add("search_memory", [](AppState& s, const Args& a) -> Json {
    Json out = Json::array();
    auto expression = memory_match_expression(a.required<std::string>("query"));
    if (!expression) return out;
    for (const auto& item : s.with_db([&](Database& db) { return search_memory(db, *expression); }))
      out.push_back(to_json(item));
    return out;
  });
  registry.add("save_to_global_memory", [](AppState& s, const Args& a) -> Json {
    const MemoryUse use = memory_use(a);
    return to_json(s.with_db([&](Database& db) { return save_to_global_memory(db, use); }));
  });
  // Every line of a saved estimate, in order, in one call and one transaction: a save of a
  // long estimate would otherwise make one round trip per line. Replies the items' ids in
  // the same order; one failing entry registers none of them.
  registry.add("save_many_to_global_memory", [](AppState& s, const Args& a) -> Json {
    const Json& entries = a.required<Json>("entries");
    if (!entries.is_array())
      throw CommandError("invalid args `entries` for command `save_many_to_global_memory`: expected a sequence");
    std::vector<MemoryUse> uses;
    uses.reserve(entries.size());
    for (const Json& entry : entries) {
      if (!entry.is_object())
        throw CommandError("invalid args `entries` for command `save_many_to_global_memory`: expected a map per entry");
      uses.push_back(memory_use(Args(a.command(), entry)));
    }
    return Json(s.with_db([&](Database& db) { return save_many_to_global_memory(db, uses); }));
  });
}

}  // namespace calcora
