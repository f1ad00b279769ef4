// Registers the catalog commands.
#include "commands/dispatcher.h"
#include "store/store_registration.h"

namespace calcora {

void register_catalog_commands(CommandRegistry& /*registry*/) {}

}  // namespace calcora
