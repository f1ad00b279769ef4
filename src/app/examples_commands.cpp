// Registers merge_standard_catalog_cmd. It lives with the shell because it composes three
// layers: where the examples folder is (the shell's paths), how its workbooks read (the
// catalog import's reader) and how entries join the catalog (the store).
#include "app/paths.h"
#include "commands/dispatcher.h"
#include "commands/registration.h"
#include "exchange/catalog_workbook.h"
#include "store/memory_store.h"

namespace calcora {

void register_examples_commands(CommandRegistry& registry) {
  registry.add("merge_standard_catalog_cmd", [](AppState& s, const Args&) -> Json {
    // The merge looks only where a developer or an installer puts examples, not beside the
    // executable; the start-up seeding also looks there.
    const auto examples_dir = resolve_examples_candidate();
    return s.with_db([&](Database& db) { return merge_standard_catalog(db, examples_dir, catalog_workbook_entries); });
  });
}

}  // namespace calcora
