// Registers the proposal link commands and the link service's account credential.
#include <optional>
#include <string>

#include "commands/dispatcher.h"
#include "commands/registration.h"
#include "proposal/link_service.h"
#include "proposal/ticket_store.h"

namespace calcora {

namespace {

// Reads the ticket under the database lock and lets go of the lock before any request:
// a slow service must not keep other commands away from the database.
std::string required_ticket(AppState& state) {
  auto ticket = state.with_db([](Database& db) { return load_ticket(db); });
  if (!ticket) throw CommandError(kNoTicket);
  return *ticket;
}

}  // namespace

void register_proposal_commands(CommandRegistry& registry) {
  registry.add("proposal_publish", [](AppState& state, const Args& args) -> Json {
    auto snapshot = args.required<Json>("snapshot");
    auto token = args.optional<std::string>("token");
    std::string ticket = required_ticket(state);
    return publish_proposal(LinkServiceConfig::from_environment(), ticket, snapshot, token).to_json();
  });
  registry.add("proposal_poll", [](AppState&, const Args& args) -> Json {
    auto token = args.required<std::string>("token");
    return poll_proposal(LinkServiceConfig::from_environment(), token).to_json();
  });
  registry.add("proposal_revoke", [](AppState& state, const Args& args) -> Json {
    auto token = args.required<std::string>("token");
    std::string ticket = required_ticket(state);
    revoke_proposal(LinkServiceConfig::from_environment(), ticket, token);
    return nullptr;
  });
  registry.add("proposal_ticket_get", [](AppState& state, const Args&) -> Json {
    auto ticket = state.with_db([](Database& db) { return load_ticket(db); });
    return to_json_or_null(ticket);
  });
  registry.add("proposal_ticket_set", [](AppState& state, const Args& args) -> Json {
    auto ticket = args.optional<std::string>("ticket");
    state.with_db([&](Database& db) { store_ticket(db, ticket); });
    return nullptr;
  });
}

}  // namespace calcora
