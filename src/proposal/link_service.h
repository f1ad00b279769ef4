// The client of the proposal link service: publish a proposal snapshot, poll the customer's
// answer, withdraw a publication. One request per call, no retries; every failure is a
// CommandError whose text the editor shows as it comes.
//
// The account credential ("ticket") travels only inside the JSON bodies of publish and
// revoke, as their `ticket` member; no header carries it and the poll sends none. It is
// never copied into an error text: a service reason that repeats it gets it masked.
#pragma once

#include <chrono>
#include <optional>
#include <string>

#include "commands/json.h"

namespace calcora {

inline constexpr const char* kNoNetwork = "нет сети, ссылка не создана";
inline constexpr const char* kLinkNotFound = "ссылка не найдена";
inline constexpr const char* kForeignSite = "чужой сайт";
inline constexpr const char* kBadToken = "неверный токен";

// How long one request may take in all: connecting, sending and reading the reply.
inline constexpr std::chrono::seconds kServiceRequestTimeout{20};

struct LinkServiceConfig {
  std::string base_address;  // without trailing "/"
  std::chrono::milliseconds timeout = kServiceRequestTimeout;

  // The program's settings: CALCORA_SITE_URL or the product's website, 20 seconds.
  static LinkServiceConfig from_environment();
};

struct PublishedLink {
  std::string token;
  std::string url;
  Json to_json() const;
};

// The customer's answer as the editor reads it; `comments`, `decision` and `snapshot` are
// passed on as the service sent them.
struct ProposalStatus {
  bool ok = false;
  bool revoked = false;
  Json comments;
  Json decision;
  Json snapshot;
  Json to_json() const;
};

// Uploads the snapshot (a new publication when `token` is null, else an update of that
// one) and composes the customer's address from the returned token.
PublishedLink publish_proposal(const LinkServiceConfig& config, const std::string& ticket, const Json& snapshot,
                               const std::optional<std::string>& token);

ProposalStatus poll_proposal(const LinkServiceConfig& config, const std::string& token);

void revoke_proposal(const LinkServiceConfig& config, const std::string& ticket, const std::string& token);

}  // namespace calcora
