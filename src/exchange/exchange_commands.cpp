// Registers the commands of this subsystem with the dispatcher.
#include "commands/dispatcher.h"
#include "commands/registration.h"

namespace calcora {

void register_exchange_commands(CommandRegistry& /*registry*/) {}

}  // namespace calcora
