// Registers the data store's commands: estimates, catalog and name memory.
#include "commands/dispatcher.h"
#include "commands/registration.h"
#include "store/store_registration.h"

namespace calcora {

void register_store_commands(CommandRegistry& registry) {
  register_estimate_commands(registry);
  register_catalog_commands(registry);
  register_memory_commands(registry);
}

}  // namespace calcora
