// Registers the commands of this subsystem with the dispatcher.
#include "commands/dispatcher.h"
#include "commands/registration.h"

namespace calcora {

void register_calc_commands(CommandRegistry& /*registry*/) {}

}  // namespace calcora
