#include "proposal/ticket_store.h"

#include "store/app_kv.h"

namespace calcora {

namespace {

constexpr const char* kWhiteSpace = " \t\r\n\v\f";

std::string trimmed(const std::string& text) {
  auto first = text.find_first_not_of(kWhiteSpace);
  if (first == std::string::npos) return {};
  return text.substr(first, text.find_last_not_of(kWhiteSpace) - first + 1);
}

}  // namespace

std::optional<std::string> load_ticket(Database& db) {
  auto ticket = kv_get(db, kTicketKey);
  if (ticket && trimmed(*ticket).empty()) return std::nullopt;
  return ticket;
}

void store_ticket(Database& db, const std::optional<std::string>& ticket) {
  std::string value = ticket ? trimmed(*ticket) : std::string();
  if (value.empty()) {
    kv_delete(db, kTicketKey);
  } else {
    kv_set(db, kTicketKey, value);
  }
}

}  // namespace calcora
