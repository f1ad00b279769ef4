// A proposal link service for the tests, listening on 127.0.0.1 on a free port. It keeps
// publications in memory, requires its one ticket, and can be told to misbehave: answer
// every request with a canned reply, or never answer at all.
#pragma once

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "commands/json.h"

namespace calcora::test {

struct RecordedRequest {
  std::string method;
  std::string path;
  std::string body;
  std::string content_type;
  bool has_authorization = false;
};

class ProposalTestService {
 public:
  explicit ProposalTestService(std::string ticket = "ticket-секрет-1");
  ~ProposalTestService();
  ProposalTestService(const ProposalTestService&) = delete;
  ProposalTestService& operator=(const ProposalTestService&) = delete;

  // "http://127.0.0.1:<port>", without trailing slash.
  std::string base_address() const;
  int port() const;

  // Every following request gets this reply (after being recorded).
  void answer_with(int status, std::string content_type, std::string body);
  // Every following request is held without a reply until the service stops.
  void never_answer();

  // The customer's answer, as the poll of `token` will report it.
  void set_feedback(const std::string& token, Json comments, Json decision);
  // The snapshot last published under `token`, if any.
  std::optional<Json> snapshot(const std::string& token) const;
  std::vector<RecordedRequest> requests() const;

 private:
  struct State;
  std::unique_ptr<State> state_;
};

}  // namespace calcora::test
