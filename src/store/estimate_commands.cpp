// Registers the estimate commands.
#include "commands/dispatcher.h"
#include "store/store_registration.h"

namespace calcora {

void register_estimate_commands(CommandRegistry& /*registry*/) {}

}  // namespace calcora
