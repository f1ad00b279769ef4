#include "link/link_service.h"

#include <iostream>

#include "common/time_stamp.h"
#include "common/utf8.h"
#include "link/customer_page.h"
#include "link/secrets.h"
#include "proposal/proposal_document.h"

namespace calcora::link {

namespace {

constexpr const char* kJson = "application/json; charset=utf-8";
constexpr const char* kHtml = "text/html; charset=utf-8";
constexpr const char* kFormKeyCookie = "calcora_form";

// No script at all; styles only from the page itself; images only from data URLs (the logo);
// forms post only back here; nobody may frame the page.
constexpr const char* kContentSecurityPolicy =
    "default-src 'none'; style-src 'unsafe-inline'; img-src data:; form-action 'self'; base-uri 'none'; "
    "frame-ancestors 'none'";

Response json_answer(unsigned status, const Json& body) {
  return {status, kJson, body.dump(-1, ' ', false, Json::error_handler_t::replace), {}};
}

Response refusal(unsigned status, const std::string& reason) { return json_answer(status, {{"ok", false}, {"reason", reason}}); }

Response html_answer(unsigned status, std::string body) { return {status, kHtml, std::move(body), {}}; }

Response redirect(const std::string& location) {
  Response r{303, "text/plain; charset=utf-8", "", {}};
  r.headers.emplace_back("Location", location);
  return r;
}

// A token is what new_publication_token makes: URL-safe Base64, of a sane length.
bool is_token(const std::string& text) {
  if (text.empty() || text.size() > 64) return false;
  for (char c : text) {
    bool ok = (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '-' || c == '_';
    if (!ok) return false;
  }
  return true;
}

// How deeply arrays and objects nest, counted before parsing, so a hostile body of a million
// "[" costs one pass and no parser stack.
size_t nesting_depth(const std::string& text, size_t limit) {
  size_t depth = 0, deepest = 0;
  bool in_string = false, escaped = false;
  for (char c : text) {
    if (in_string) {
      if (escaped) escaped = false;
      else if (c == '\\') escaped = true;
      else if (c == '"') in_string = false;
    } else if (c == '"') {
      in_string = true;
    } else if (c == '[' || c == '{') {
      deepest = std::max(deepest, ++depth);
      if (deepest > limit) return deepest;
    } else if ((c == ']' || c == '}') && depth > 0) {
      --depth;
    }
  }
  return deepest;
}

size_t char_count(const std::string& text) {
  size_t n = 0;
  for (unsigned char c : text) n += (c & 0xC0) != 0x80;
  return n;
}

std::string trimmed(const std::string& text) {
  const char* space = " \t\r\n";
  auto first = text.find_first_not_of(space);
  if (first == std::string::npos) return {};
  return text.substr(first, text.find_last_not_of(space) - first + 1);
}

std::string cookie_value(const Request& r, const std::string& name) {
  const std::string* header = r.header("cookie");
  if (!header) return {};
  std::string_view rest = *header;
  while (!rest.empty()) {
    auto semi = rest.find(';');
    std::string_view part = rest.substr(0, semi);
    rest = semi == std::string_view::npos ? std::string_view() : rest.substr(semi + 1);
    while (!part.empty() && part.front() == ' ') part.remove_prefix(1);
    if (part.starts_with(name + "=")) return std::string(part.substr(name.size() + 1));
  }
  return {};
}

Json comments_json(const Publication& p) {
  Json out = Json::array();
  for (const auto& c : p.comments) {
    Json item = {{"name", c.name}};
    if (!c.contact.empty()) item["contact"] = c.contact;
    item["body"] = c.body;
    item["at"] = c.created_at;
    out.push_back(std::move(item));
  }
  return out;
}

void add_page_headers(Response& r) {
  r.headers.emplace_back("Content-Security-Policy", kContentSecurityPolicy);
  r.headers.emplace_back("X-Content-Type-Options", "nosniff");
  // The address holds the token: no other site learns it from a link the customer follows. Posts
  // back here keep their Origin, which "no-referrer" would blank out.
  r.headers.emplace_back("Referrer-Policy", "same-origin");
  r.headers.emplace_back("X-Frame-Options", "DENY");
  r.headers.emplace_back("Cache-Control", "no-store");
}

PageNotice notice_for(const Request& r) {
  auto sent = r.query.find("sent");
  if (sent == r.query.end()) return {};
  if (sent->second == "decision") return {"Спасибо, ваше решение передано.", false};
  if (sent->second == "comment") return {"Спасибо, комментарий отправлен.", false};
  return {};
}

}  // namespace

std::string path_for_log(const std::string& path) {
  for (const char* prefix : {"/p/", "/api/proposals/"}) {
    std::string_view p = prefix;
    if (!path.starts_with(p)) continue;
    auto end = path.find('/', p.size());
    std::string token = path.substr(p.size(), end == std::string::npos ? std::string::npos : end - p.size());
    return std::string(p) + token.substr(0, 4) + "…" + (end == std::string::npos ? "" : path.substr(end));
  }
  return path;
}

Service::Service(LinkStore& store, ServiceOptions options)
    : store_(store),
      options_(std::move(options)),
      per_ticket_(options_.limits.ticket_per_minute),
      per_address_(options_.limits.address_per_minute),
      forms_(options_.limits.forms_per_minute) {}

std::string Service::client_address(const Request& r) const {
  if (options_.trust_proxy) {
    if (const std::string* forwarded = r.header("x-forwarded-for")) {
      auto comma = forwarded->rfind(',');
      std::string last = trimmed(comma == std::string::npos ? *forwarded : forwarded->substr(comma + 1));
      if (!last.empty()) return last;
    }
  }
  return r.peer;
}

std::string Service::public_base(const Request& r) const {
  std::string scheme = r.tls ? "https" : "http";
  if (options_.trust_proxy) {
    if (const std::string* proto = r.header("x-forwarded-proto"); proto && (*proto == "https" || *proto == "http"))
      scheme = *proto;
  }
  const std::string* host = r.header("host");
  return scheme + "://" + (host ? *host : std::string("localhost"));
}

Response Service::handle(const Request& r) {
  Response answer;
  try {
    answer = route(r);
  } catch (const std::exception& e) {
    std::cerr << utc_now_stamp() << " " << r.method << " " << path_for_log(r.path) << ": " << e.what() << std::endl;
    answer = r.path.starts_with("/api/") ? refusal(503, kStoreFailed)
                                         : html_answer(503, message_page_html("Сервис недоступен", kStoreFailed));
  }
  if (answer.content_type == kHtml || answer.status == 303) add_page_headers(answer);
  else answer.headers.emplace_back("Cache-Control", "no-store");
  if (answer.status == 429 || answer.status == 413)
    std::cerr << utc_now_stamp() << " " << r.method << " " << path_for_log(r.path) << " " << answer.status << " from "
              << client_address(r) << std::endl;
  return answer;
}

Response Service::route(const Request& r) {
  if (r.path == "/healthz") return {200, "text/plain; charset=utf-8", "ok\n", {}};
  const bool api = r.path.starts_with("/api/");
  if (!per_address_.allow(client_address(r)))
    return api ? refusal(429, kTooManyRequests) : html_answer(429, message_page_html("Подождите минуту", kTooManyRequests));

  if (r.path == "/api/proposals" && r.method == "POST") return api_post(r);
  constexpr std::string_view kPoll = "/api/proposals/";
  if (r.path.starts_with(kPoll) && r.method == "GET") {
    std::string token = r.path.substr(kPoll.size());
    if (!is_token(token)) return refusal(404, kLinkUnknown);
    return poll(token);
  }
  constexpr std::string_view kPage = "/p/";
  if (r.path.starts_with(kPage)) {
    std::string rest = r.path.substr(kPage.size());
    auto slash = rest.find('/');
    std::string token = rest.substr(0, slash);
    std::string form = slash == std::string::npos ? "" : rest.substr(slash + 1);
    if (is_token(token)) {
      if (form.empty() && (r.method == "GET" || r.method == "HEAD")) return page(r, token);
      if ((form == "decision" || form == "comment") && r.method == "POST") return form_post(r, token, form);
    }
    return html_answer(404, message_page_html(kUnknownLinkTitle, "Проверьте адрес: такой ссылки нет."));
  }
  if (api) return refusal(404, "нет такого адреса");
  return html_answer(404, message_page_html("Страница не найдена", "Такой страницы здесь нет."));
}

Response Service::api_post(const Request& r) {
  if (r.body_too_large) return refusal(413, kBodyTooLarge);
  if (nesting_depth(r.body, options_.limits.max_json_depth) > options_.limits.max_json_depth)
    return refusal(400, std::string(kSnapshotUnreadable) + "слишком глубокая вложенность");
  Json body = Json::parse(r.body, nullptr, false);
  if (body.is_discarded() || !body.is_object()) return refusal(400, kNotJson);
  auto ticket = body.find("ticket");
  if (ticket == body.end() || !ticket->is_string()) return refusal(403, kTicketRefused);
  auto ticket_id = store_.live_ticket_id(ticket_key_hash(ticket->get<std::string>()));
  if (!ticket_id) return refusal(403, kTicketRefused);
  if (!per_ticket_.allow(std::to_string(*ticket_id))) return refusal(429, kTooManyRequests);
  auto revoking = body.find("revoke");
  if (revoking != body.end() && revoking->is_boolean() && revoking->get<bool>()) return revoke(*ticket_id, body);
  return publish(*ticket_id, body, r);
}

Response Service::publish(int64_t ticket_id, const Json& body, const Request& r) {
  auto snapshot = body.find("snapshot");
  if (snapshot == body.end()) return refusal(400, std::string(kSnapshotUnreadable) + "нет snapshot");
  auto reading = ProposalDocument::from_snapshot(*snapshot);
  if (!reading.document) return refusal(400, kSnapshotUnreadable + reading.problem);
  if (reading.document->logo && reading.document->logo->size() > options_.limits.max_logo_chars)
    return refusal(413, kLogoTooLarge);
  // The parser has already refused text that is not UTF-8.
  std::string text = snapshot->dump();
  std::string now = utc_now_stamp();
  std::string token;
  auto given = body.find("token");
  if (given != body.end() && given->is_string() && is_token(given->get<std::string>()) &&
      store_.update_publication(ticket_id, given->get<std::string>(), text, now)) {
    token = given->get<std::string>();
  } else {
    // A first publication, or one whose earlier link is gone or was never this account's:
    // a new link, so nobody's publication is ever overwritten.
    token = new_publication_token();
    store_.insert_publication(ticket_id, token, text, now);
  }
  return json_answer(200, {{"ok", true}, {"token", token}, {"url", public_base(r) + "/p/" + token}});
}

Response Service::revoke(int64_t ticket_id, const Json& body) {
  auto token = body.find("token");
  if (token == body.end() || !token->is_string() || !is_token(token->get<std::string>()))
    return refusal(404, kLinkUnknown);
  if (!store_.revoke_publication(ticket_id, token->get<std::string>(), utc_now_stamp())) return refusal(404, kLinkUnknown);
  return json_answer(200, {{"ok", true}});
}

Response Service::poll(const std::string& token) {
  auto p = store_.publication(token);
  if (!p) return refusal(404, kLinkUnknown);
  if (p->revoked) return json_answer(410, {{"revoked", true}, {"reason", "предложение отозвано"}});
  Json decision = nullptr;
  if (p->decision) decision = {{"status", p->decision->status}, {"name", p->decision->name}, {"at", p->decision->decided_at}};
  return json_answer(200, {{"comments", comments_json(*p)}, {"decision", decision}, {"snapshot", Json::parse(p->snapshot)}});
}

void Service::set_form_key(Response& answer, const std::string& key, const Request& r) const {
  std::string secure = public_base(r).starts_with("https:") ? "; Secure" : "";
  answer.headers.emplace_back("Set-Cookie",
                              std::string(kFormKeyCookie) + "=" + key + "; Path=/p/; HttpOnly; SameSite=Strict" + secure);
}

Response Service::page(const Request& r, const std::string& token) {
  auto p = store_.publication(token);
  if (!p) return html_answer(404, message_page_html(kUnknownLinkTitle, "Проверьте адрес: такой ссылки нет."));
  if (p->revoked)
    return html_answer(410, message_page_html(kWithdrawnTitle, "Автор отозвал это предложение, ссылка больше не действует."));
  auto reading = ProposalDocument::from_snapshot(Json::parse(p->snapshot));
  if (!reading.document) throw StoreError("stored snapshot unreadable: " + reading.problem);
  std::string key = cookie_value(r, kFormKeyCookie);
  bool fresh = key.size() != 32 || !is_token(key);
  if (fresh) key = random_text(24);
  Response answer = html_answer(200, customer_page_html({*reading.document, *p, key, notice_for(r), {}}));
  if (fresh) set_form_key(answer, key, r);
  return answer;
}

Response Service::form_post(const Request& r, const std::string& token, const std::string& form) {
  if (!forms_.allow(client_address(r)))
    return html_answer(429, message_page_html("Подождите минуту", kTooManyRequests));
  if (r.body_too_large || r.body.size() > options_.limits.max_form_bytes)
    return html_answer(413, message_page_html("Слишком длинный текст", "Сократите комментарий и отправьте снова."));
  auto p = store_.publication(token);
  if (!p) return html_answer(404, message_page_html(kUnknownLinkTitle, "Проверьте адрес: такой ссылки нет."));
  if (p->revoked)
    return html_answer(410, message_page_html(kWithdrawnTitle, "Автор отозвал это предложение, ссылка больше не действует."));
  auto fields = form_fields(r.body);
  auto field = [&](const char* name) { return trimmed(fields.count(name) ? fields[name] : std::string()); };
  CustomerPageInput::Typed typed;
  if (form == "decision") typed.decision_name = field("name");
  else typed = {"", field("name"), field("contact"), field("body")};

  // The form's key must come back both in the form and in the page's cookie: a page of
  // another site can make a browser post here, but it can read neither.
  std::string cookie = cookie_value(r, kFormKeyCookie);
  auto given = fields.find("form_key");
  const std::string* origin = r.header("origin");
  const std::string* host = r.header("host");
  // Browsers send Origin with every form post; a client that sends none is no browser.
  bool same_origin = !origin || (host && *origin != "null" && origin->ends_with("://" + *host));
  bool guarded = !cookie.empty() && given != fields.end() && same_secret(cookie, given->second) && same_origin;

  std::string problem;
  const auto& L = options_.limits;
  if (!guarded) problem = "Страница устарела: отправьте форму ещё раз.";
  else if (!is_valid_utf8(typed.decision_name + typed.comment_name + typed.contact + typed.body))
    problem = "Текст не читается.";
  else if (form == "decision" && typed.decision_name.empty()) problem = "Укажите ваше имя.";
  else if (char_count(typed.decision_name) > L.max_name_chars || char_count(typed.comment_name) > L.max_name_chars)
    problem = "Имя длиннее " + std::to_string(L.max_name_chars) + " знаков.";
  else if (char_count(typed.contact) > L.max_contact_chars)
    problem = "Контакт длиннее " + std::to_string(L.max_contact_chars) + " знаков.";
  else if (form == "comment" && typed.body.empty()) problem = "Напишите комментарий.";
  else if (char_count(typed.body) > L.max_comment_chars)
    problem = "Комментарий длиннее " + std::to_string(L.max_comment_chars) + " знаков.";

  std::string decision = field("decision");
  if (problem.empty() && form == "decision" && decision != "approved" && decision != "rejected")
    problem = "Выберите: согласовать или отклонить.";

  if (problem.empty()) {
    CustomerAnswer result = form == "decision"
                                ? store_.decide(token, {decision, typed.decision_name, utc_now_stamp()})
                                : store_.add_comment(token, {typed.comment_name, typed.contact, typed.body, utc_now_stamp()},
                                                     L.max_comments);
    switch (result) {
      case CustomerAnswer::kTaken:
        return redirect("/p/" + token + "?sent=" + form + (form == "comment" ? "#comments" : ""));
      case CustomerAnswer::kAlreadyDecided: problem = "Решение по этому предложению уже принято."; break;
      case CustomerAnswer::kFull: problem = "К этому предложению больше нельзя добавить комментарии."; break;
      case CustomerAnswer::kRevoked:
        return html_answer(410, message_page_html(kWithdrawnTitle, "Автор отозвал это предложение, ссылка больше не действует."));
      case CustomerAnswer::kUnknown:
        return html_answer(404, message_page_html(kUnknownLinkTitle, "Проверьте адрес: такой ссылки нет."));
    }
    p = store_.publication(token);
    if (!p) return html_answer(404, message_page_html(kUnknownLinkTitle, "Проверьте адрес: такой ссылки нет."));
  }
  auto reading = ProposalDocument::from_snapshot(Json::parse(p->snapshot));
  if (!reading.document) throw StoreError("stored snapshot unreadable: " + reading.problem);
  std::string key = cookie.size() == 32 && is_token(cookie) ? cookie : random_text(24);
  Response answer = html_answer(400, customer_page_html({*reading.document, *p, key, {problem, true}, typed}));
  if (key != cookie) set_form_key(answer, key, r);
  return answer;
}

}  // namespace calcora::link
