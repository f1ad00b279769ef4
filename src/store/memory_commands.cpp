// Registers the name-memory commands: search_memory, save_to_global_memory and
// merge_standard_catalog_cmd.
#include "app/paths.h"
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
  registry.add("merge_standard_catalog_cmd", [](AppState& s, const Args&) -> Json {
    // The merge looks only where a developer or an installer puts examples, not beside the
    // executable; the start-up seeding also looks there.
    const auto examples_dir = resolve_examples_candidate();
    return s.with_db([&](Database& db) { return merge_standard_catalog(db, examples_dir); });
  });
}

}  // namespace calcora
