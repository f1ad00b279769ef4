// The proposal link service's requests, from an HTTP request to its answer: the program's
// API (publish, revoke, poll), the customer's page and its two forms, and the refusals that
// keep one client or one snapshot from hurting the others.
#pragma once

#include <cstdint>
#include <string>

#include "commands/json.h"
#include "link/http_server.h"
#include "link/link_store.h"
#include "link/rate_limiter.h"

namespace calcora::link {

struct ServiceLimits {
  size_t max_body_bytes = 2u << 20;        // a snapshot of a few thousand lines with a logo
  size_t max_logo_chars = 700'000;         // a 500 KB image as a data URL, with its prefix
  size_t max_json_depth = 32;              // a snapshot is four levels deep
  size_t max_form_bytes = 16 * 1024;
  size_t max_name_chars = 100;
  size_t max_contact_chars = 200;
  size_t max_comment_chars = 2000;
  int64_t max_comments = 100;              // per publication
  unsigned ticket_per_minute = 120;        // publishes and revokes of one account
  unsigned address_per_minute = 600;       // every request from one address
  unsigned forms_per_minute = 20;          // decisions and comments from one address
};

struct ServiceOptions {
  ServiceLimits limits;
  // Behind a proxy every request comes from the proxy: take the client's address from the
  // last X-Forwarded-For entry and the scheme from X-Forwarded-Proto. Only with a proxy that
  // sets them, or a client could choose its own address.
  bool trust_proxy = false;
};

inline constexpr const char* kTicketRefused = "ключ доступа не принят";
inline constexpr const char* kLinkUnknown = "ссылка не найдена";
inline constexpr const char* kTooManyRequests = "слишком много запросов, повторите через минуту";
inline constexpr const char* kLogoTooLarge = "логотип больше 500 КБ";
inline constexpr const char* kBodyTooLarge = "предложение больше 2 МБ: уменьшите логотип или число строк";
inline constexpr const char* kNotJson = "запрос не читается: ожидался JSON";
inline constexpr const char* kSnapshotUnreadable = "предложение не читается: ";
inline constexpr const char* kStoreFailed = "сервис временно недоступен, повторите позже";

class Service {
 public:
  Service(LinkStore& store, ServiceOptions options);
  // Never throws: a store failure is a 503 with a reason, and its cause goes to the log.
  Response handle(const Request& request);

 private:
  Response route(const Request& request);
  Response api_post(const Request& request);
  Response publish(int64_t ticket_id, const Json& body, const Request& request);
  Response revoke(int64_t ticket_id, const Json& body);
  Response poll(const std::string& token);
  Response page(const Request& request, const std::string& token);
  Response form_post(const Request& request, const std::string& token, const std::string& form);
  std::string client_address(const Request& request) const;
  std::string public_base(const Request& request) const;
  void set_form_key(Response& answer, const std::string& key, const Request& request) const;

  LinkStore& store_;
  ServiceOptions options_;
  RateLimiter per_ticket_;
  RateLimiter per_address_;
  RateLimiter forms_;
};

// A request's path as the log may show it: tokens cut to their first four characters.
std::string path_for_log(const std::string& path);

}  // namespace calcora::link
