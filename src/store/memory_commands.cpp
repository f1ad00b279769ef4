// Registers the memory commands.
#include "commands/dispatcher.h"
#include "store/store_registration.h"

namespace calcora {

void register_memory_commands(CommandRegistry& /*registry*/) {}

}  // namespace calcora
