// The account credential of the proposal link service ("ticket"), kept in the database's
// key-value table so that it survives restarts and travels with a full backup.
#pragma once

#include <optional>
#include <string>

namespace calcora {

class Database;

inline constexpr const char* kTicketKey = "proposal.ticket";
inline constexpr const char* kNoTicket = "нет ключа доступа к сервису ссылок: укажите его в настройках";

// The stored ticket, or nullopt when none is set.
std::optional<std::string> load_ticket(Database& db);

// Stores the ticket without the white space around it (a pasted key often brings a line
// end along); nullopt or a blank text deletes it.
void store_ticket(Database& db, const std::optional<std::string>& ticket);

}  // namespace calcora
