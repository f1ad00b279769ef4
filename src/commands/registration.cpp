#include "commands/registration.h"

#include "commands/dispatcher.h"

namespace calcora {

void register_all_commands(CommandRegistry& registry) {
  register_system_commands(registry);
  register_store_commands(registry);
  register_calc_commands(registry);
  register_exchange_commands(registry);
  register_pdf_commands(registry);
  register_proposal_commands(registry);
  register_examples_commands(registry);
  register_save_place_commands(registry);
}

}  // namespace calcora
