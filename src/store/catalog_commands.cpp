// Registers the catalog commands: list, search, get, save and delete catalog items.
#include "commands/dispatcher.h"
#include "store/catalog_store.h"
#include "store/store_registration.h"

namespace calcora {

void register_catalog_commands(CommandRegistry& registry) {
  registry.add_text("list_catalog", [](AppState& s, const Args& a) {
    auto query = a.optional<std::string>("query");
    return s.with_db([&](Database& db) { return list_catalog_json(db, query); });
  });
  registry.add_text("search_catalog", [](AppState& s, const Args& a) {
    auto query = a.required<std::string>("query");
    return s.with_db([&](Database& db) { return list_catalog_json(db, query); });
  });
  registry.add("get_catalog_item", [](AppState& s, const Args& a) -> Json {
    auto id = a.required<int64_t>("id");
    return to_json(s.with_db([&](Database& db) { return load_catalog_item(db, id); }));
  });
  registry.add("save_catalog_item", [](AppState& s, const Args& a) -> Json {
    auto item = a.required<CatalogItem>("item");
    return to_json(s.with_db([&](Database& db) { return save_catalog_item(db, std::move(item)); }));
  });
  registry.add("delete_catalog_item", [](AppState& s, const Args& a) -> Json {
    auto id = a.required<int64_t>("id");
    s.with_db([&](Database& db) { delete_catalog_item(db, id); });
    return nullptr;
  });
}

}  // namespace calcora
