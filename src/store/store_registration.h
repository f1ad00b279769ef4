// The data store's command groups, each registered from its own file.
#pragma once

namespace calcora {

class CommandRegistry;

void register_estimate_commands(CommandRegistry& registry);  // list/get/create/save/duplicate/delete
void register_catalog_commands(CommandRegistry& registry);   // list/search/get/save/delete catalog items
void register_memory_commands(CommandRegistry& registry);    // search_memory, save_to_global_memory

}  // namespace calcora
