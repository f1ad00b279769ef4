#include "proposal_test_service.h"

#include <httplib.h>

#include <condition_variable>
#include <map>
#include <mutex>
#include <stdexcept>
#include <thread>

namespace calcora::test {

namespace {

struct Publication {
  Json snapshot;
  Json comments = Json::array();
  Json decision = nullptr;
  bool revoked = false;
};

struct Canned {
  int status;
  std::string content_type;
  std::string body;
};

void reply_json(httplib::Response& res, int status, const Json& body) {
  res.status = status;
  res.set_content(body.dump(), "application/json");
}

}  // namespace

struct ProposalTestService::State {
  std::string ticket;
  httplib::Server server;
  std::thread thread;
  int port = 0;

  mutable std::mutex mutex;
  std::condition_variable released;
  bool stopping = false;
  bool hang = false;
  std::optional<Canned> canned;
  std::map<std::string, Publication> publications;
  int next_token = 1;
  std::vector<RecordedRequest> requests;

  // Records the request and applies a misbehaviour; true when the reply is settled.
  bool intercept(const httplib::Request& req, httplib::Response& res) {
    std::unique_lock lock(mutex);
    requests.push_back(
        {req.method, req.path, req.body, req.get_header_value("Content-Type"), req.has_header("Authorization")});
    if (hang) {
      released.wait(lock, [&] { return stopping; });
      return true;
    }
    if (canned) {
      res.status = canned->status;
      res.set_content(canned->body, canned->content_type.c_str());
      return true;
    }
    return false;
  }

  void post(const httplib::Request& req, httplib::Response& res) {
    if (intercept(req, res)) return;
    Json body = Json::parse(req.body, nullptr, false);
    if (!body.is_object()) return reply_json(res, 400, {{"ok", false}, {"reason", "тело запроса не JSON"}});
    std::lock_guard lock(mutex);
    if (body.value("ticket", Json()) != ticket)
      return reply_json(res, 403, {{"ok", false}, {"reason", "ключ доступа не принят"}});
    Json token = body.value("token", Json());
    auto it = token.is_string() ? publications.find(token.get<std::string>()) : publications.end();
    if (body.value("revoke", false)) {
      if (it == publications.end() || it->second.revoked)
        return reply_json(res, 404, {{"ok", false}, {"reason", "публикация не найдена"}});
      it->second.revoked = true;
      return reply_json(res, 200, {{"ok", true}});
    }
    if (it == publications.end() || it->second.revoked) {
      it = publications.emplace("kp" + std::to_string(next_token++), Publication{}).first;
    }
    it->second.snapshot = body.value("snapshot", Json());
    reply_json(res, 200, {{"ok", true}, {"token", it->first}});
  }

  void get(const httplib::Request& req, httplib::Response& res) {
    if (intercept(req, res)) return;
    std::lock_guard lock(mutex);
    auto it = publications.find(req.matches[1].str());
    if (it == publications.end()) return reply_json(res, 404, {{"reason", "публикация не найдена"}});
    if (it->second.revoked) return reply_json(res, 410, {{"revoked", true}});
    const auto& p = it->second;
    reply_json(res, 200, {{"comments", p.comments}, {"decision", p.decision}, {"snapshot", p.snapshot}});
  }
};

ProposalTestService::ProposalTestService(std::string ticket) : state_(std::make_unique<State>()) {
  State& s = *state_;
  s.ticket = std::move(ticket);
  // One request per connection, so a stop never waits on an idle kept-alive connection.
  s.server.set_keep_alive_max_count(1);
  s.server.Post("/api/proposals", [&s](const httplib::Request& req, httplib::Response& res) { s.post(req, res); });
  s.server.Get(R"(/api/proposals/(.*))",
               [&s](const httplib::Request& req, httplib::Response& res) { s.get(req, res); });
  s.port = s.server.bind_to_any_port("127.0.0.1");
  if (s.port <= 0) throw std::runtime_error("test service: no free port on 127.0.0.1");
  s.thread = std::thread([&s] { s.server.listen_after_bind(); });
  while (!s.server.is_running()) std::this_thread::yield();
}

ProposalTestService::~ProposalTestService() {
  {
    std::lock_guard lock(state_->mutex);
    state_->stopping = true;
  }
  state_->released.notify_all();
  state_->server.stop();
  state_->thread.join();
}

std::string ProposalTestService::base_address() const { return "http://127.0.0.1:" + std::to_string(state_->port); }
int ProposalTestService::port() const { return state_->port; }

void ProposalTestService::answer_with(int status, std::string content_type, std::string body) {
  std::lock_guard lock(state_->mutex);
  state_->canned = Canned{status, std::move(content_type), std::move(body)};
}

void ProposalTestService::never_answer() {
  std::lock_guard lock(state_->mutex);
  state_->hang = true;
}

void ProposalTestService::set_feedback(const std::string& token, Json comments, Json decision) {
  std::lock_guard lock(state_->mutex);
  auto& p = state_->publications.at(token);
  p.comments = std::move(comments);
  p.decision = std::move(decision);
}

std::optional<Json> ProposalTestService::snapshot(const std::string& token) const {
  std::lock_guard lock(state_->mutex);
  auto it = state_->publications.find(token);
  if (it == state_->publications.end()) return std::nullopt;
  return it->second.snapshot;
}

std::vector<RecordedRequest> ProposalTestService::requests() const {
  std::lock_guard lock(state_->mutex);
  return state_->requests;
}

}  // namespace calcora::test
