// Registers the name-memory commands: search_memory and save_to_global_memory. The merge of
// the standard catalog reads the examples folder's workbooks, so the shell registers it.
#include "commands/dispatcher.h"
#include "store/memory_store.h"
#include "store/store_registration.h"

namespace calcora {

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
    MemoryUse use{.name = a.required<std::string>("name"),
                  .unit = a.optional<std::string>("unit"),
                  .price = a.optional<double>("price"),
                  .line_type = a.optional<std::string>("lineType"),
                  .category = a.optional<std::string>("category"),
                  .update_price = a.optional<bool>("updatePrice").value_or(false)};
    return to_json(s.with_db([&](Database& db) { return save_to_global_memory(db, use); }));
  });
}

}  // namespace calcora
