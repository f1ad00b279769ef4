// The service's secrets: publication tokens, account tickets and the form guard, all from the
// system's random source; tickets are kept only as their SHA-256, so a copy of the database
// hands out no working key.
#pragma once

#include <string>
#include <string_view>

namespace calcora::link {

// `bytes` random bytes in URL-safe Base64 without padding: "-" and "_" besides letters and
// digits, so a token is one path segment as it is.
std::string random_text(size_t bytes);

// 144 random bits: a customer's address cannot be guessed.
inline std::string new_publication_token() { return random_text(18); }
// 256 random bits, with a prefix that makes a pasted key recognisable.
inline std::string new_ticket_key() { return "clk_" + random_text(32); }

// The SHA-256 of a ticket key, in lower-case hex: what the database keeps.
std::string ticket_key_hash(std::string_view key);

// Compares in time that does not depend on where the texts differ.
bool same_secret(std::string_view a, std::string_view b);

}  // namespace calcora::link
