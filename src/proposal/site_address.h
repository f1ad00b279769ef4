// Where the proposal link service lives and which addresses a customer link may point at.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace calcora {

inline constexpr const char* kSiteUrlVariable = "CALCORA_SITE_URL";

// The service's base address: the variable's value when it is set and not empty, else the
// product's website; either way without trailing "/", so paths can be appended with one "/".
std::string service_base_address(const char* variable_value);
// The same, read from the environment.
std::string service_base_address_from_environment();

// A customer link may only point at the product's website (with or without "www.") or at a
// service on this machine over plain HTTP (a developer's or a test's). Exact, case-sensitive.
bool is_allowed_base_address(std::string_view base);

// A token is one path segment of the customer's address: not empty, and none of "/", "?",
// "#", which would move the link to another page or hide part of it.
bool is_usable_token(std::string_view token);

// The address the customer opens: base + "/p/" + token.
std::string customer_address(std::string_view base, std::string_view token);

}  // namespace calcora
