#include "proposal/link_service.h"

#include "common/ascii.h"
#include "common/errors.h"
#include "proposal/http_client.h"
#include "proposal/site_address.h"

namespace calcora {

namespace {

constexpr const char* kProposalsPath = "/api/proposals";

// The reply to publish and revoke. Only `ok`, `token` and `reason` are read; a reply
// without a boolean `ok`, or with a `token` or `reason` that is neither text nor null,
// is unreadable (nullopt).
struct ApiOk {
  bool ok = false;
  std::optional<std::string> token;
  std::optional<std::string> reason;
};

bool read_optional_text(const Json& object, const char* key, std::optional<std::string>& out) {
  auto it = object.find(key);
  if (it == object.end() || it->is_null()) return true;
  if (!it->is_string()) return false;
  out = it->get<std::string>();
  return true;
}

std::optional<ApiOk> read_api_ok(const std::string& body) {
  Json reply = Json::parse(body, nullptr, /*allow_exceptions=*/false);
  if (!reply.is_object()) return std::nullopt;
  auto ok = reply.find("ok");
  if (ok == reply.end() || !ok->is_boolean()) return std::nullopt;
  ApiOk result;
  result.ok = ok->get<bool>();
  if (!read_optional_text(reply, "token", result.token) || !read_optional_text(reply, "reason", result.reason))
    return std::nullopt;
  return result;
}


// A service may quote the request back in its reason; the credential must not reach the
// screen that way.
std::string masked(std::string text, const std::string& ticket) {
  if (ticket.empty()) return text;
  for (auto at = text.find(ticket); at != std::string::npos; at = text.find(ticket, at + 3)) {
    text.replace(at, ticket.size(), "***");
  }
  return text;
}

// POSTs one body to the proposals address and reads the ApiOk reply. Whatever the HTTP
// status, the reply body decides the outcome. A refusal (`ok` false) fails with the
// service's reason, or with kNoNetwork when it gives none.
ApiOk post_for_api_ok(const LinkServiceConfig& config, const Json& body, const std::string& ticket) {
  HttpRequest request{HttpRequest::Method::kPost, config.base_address + kProposalsPath, body.dump(), config.timeout};
  auto reply = send_http(request);
  if (!reply) throw CommandError(kNoNetwork);
  auto api_ok = read_api_ok(reply->body);
  if (!api_ok) throw CommandError(kNoNetwork);
  if (!api_ok->ok) {
    // An empty reason would leave the user with an empty error line.
    if (api_ok->reason && !is_blank(*api_ok->reason)) throw CommandError(masked(*api_ok->reason, ticket));
    throw CommandError(kNoNetwork);
  }
  return *api_ok;
}

Json member_or(const Json& object, const char* key, Json fallback) {
  if (!object.is_object()) return fallback;
  auto it = object.find(key);
  return it == object.end() ? fallback : *it;
}

}  // namespace

LinkServiceConfig LinkServiceConfig::from_environment() {
  return LinkServiceConfig{service_base_address_from_environment(), kServiceRequestTimeout};
}

Json PublishedLink::to_json() const { return Json{{"token", token}, {"url", url}}; }

Json ProposalStatus::to_json() const {
  return Json{{"ok", ok}, {"revoked", revoked}, {"comments", comments}, {"decision", decision}, {"snapshot", snapshot}};
}

PublishedLink publish_proposal(const LinkServiceConfig& config, const std::string& ticket, const Json& snapshot,
                               const std::optional<std::string>& token) {
  Json body = {{"ticket", ticket}, {"snapshot", snapshot}, {"token", token ? Json(*token) : Json(nullptr)}};
  ApiOk reply = post_for_api_ok(config, body, ticket);
  if (!reply.token) throw CommandError(kNoNetwork);
  // Checked only now, after the service has taken the upload: the address must still not
  // send the customer to a site of someone else's, nor to a page other than the proposal.
  if (!is_allowed_base_address(config.base_address)) throw CommandError(kForeignSite);
  if (!is_usable_token(*reply.token)) throw CommandError(kBadToken);
  return PublishedLink{*reply.token, customer_address(config.base_address, *reply.token)};
}

ProposalStatus poll_proposal(const LinkServiceConfig& config, const std::string& token) {
  HttpRequest request{
      HttpRequest::Method::kGet, config.base_address + kProposalsPath + "/" + token, {}, config.timeout};
  auto reply = send_http(request);
  if (!reply) throw CommandError(kNoNetwork);
  // The body must be JSON whatever the status: an HTML error page means the service is
  // not what answered.
  Json body = Json::parse(reply->body, nullptr, /*allow_exceptions=*/false);
  if (body.is_discarded()) throw CommandError(kNoNetwork);
  if (reply->status == 410) return ProposalStatus{false, true, nullptr, nullptr, nullptr};
  if (reply->status >= 200 && reply->status <= 299) {
    return ProposalStatus{true, false, member_or(body, "comments", Json::array()), member_or(body, "decision", nullptr),
                          member_or(body, "snapshot", nullptr)};
  }
  Json reason = member_or(body, "reason", nullptr);
  if (reason.is_string() && !is_blank(reason.get<std::string>())) throw CommandError(reason.get<std::string>());
  throw CommandError(kLinkNotFound);
}

void revoke_proposal(const LinkServiceConfig& config, const std::string& ticket, const std::string& token) {
  post_for_api_ok(config, Json{{"ticket", ticket}, {"token", token}, {"revoke", true}}, ticket);
}

}  // namespace calcora
