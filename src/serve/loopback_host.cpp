#include "serve/loopback_host.h"

#include <httplib.h>

#include <condition_variable>
#include <mutex>

#include "app/page/page_files.h"
#include "app/page_policy.h"

namespace calcora {

namespace {

// Commands run one at a time in the order their requests arrived: a ticket is drawn when
// the request is read, and each waits until its number comes up.
class ArrivalOrder {
 public:
  uint64_t take_ticket() {
    std::lock_guard lock(mutex_);
    return next_ticket_++;
  }
  template <typename F>
  void run_in_turn(uint64_t ticket, F&& work) {
    std::unique_lock lock(mutex_);
    turn_changed_.wait(lock, [&] { return now_serving_ == ticket; });
    lock.unlock();
    try {
      work();
    } catch (...) {
      finish_turn();
      throw;
    }
    finish_turn();
  }

 private:
  void finish_turn() {
    std::lock_guard lock(mutex_);
    ++now_serving_;
    turn_changed_.notify_all();
  }
  std::mutex mutex_;
  std::condition_variable turn_changed_;
  uint64_t next_ticket_ = 0;
  uint64_t now_serving_ = 0;
};

constexpr const char* kTextPlain = "text/plain; charset=utf-8";

}  // namespace

struct LoopbackHost::Impl {
  Dispatcher& dispatcher;
  LoopbackOptions options;
  httplib::Server server;
  ArrivalOrder order;
  int port = -1;

  bool host_allowed(const httplib::Request& req) const {
    // A page on another site that resolves its own name to 127.0.0.1 (DNS rebinding)
    // sends its own name here; only our two loopback names are served.
    const std::string host = req.get_header_value("Host");
    const std::string suffix = ":" + std::to_string(port);
    return host == "127.0.0.1" + suffix || host == "localhost" + suffix;
  }

  void install_routes() {
    server.set_payload_max_length(options.max_body_bytes);
    server.set_pre_routing_handler([this](const httplib::Request& req, httplib::Response& res) {
      if (host_allowed(req)) return httplib::Server::HandlerResponse::Unhandled;
      res.status = 403;
      res.set_content("forbidden host", kTextPlain);
      return httplib::Server::HandlerResponse::Handled;
    });
    server.set_error_handler([](const httplib::Request&, httplib::Response& res) {
      if (!res.body.empty()) return;
      if (res.status == 413) res.set_content("request body too large", kTextPlain);
      else if (res.status == 404) res.set_content("not found", kTextPlain);
      else res.set_content("request failed with status " + std::to_string(res.status), kTextPlain);
    });
    server.Post(R"(/api/invoke/([A-Za-z0-9_]+))", [this](const httplib::Request& req, httplib::Response& res) {
      if (req.get_header_value("X-Calcora-Key") != options.key) {
        res.status = 403;
        res.set_content("forbidden", kTextPlain);
        return;
      }
      const std::string command = req.matches[1];
      CommandOutcome outcome;
      order.run_in_turn(order.take_ticket(), [&] { outcome = dispatcher.dispatch_text(command, req.body); });
      if (outcome.ok) {
        res.status = 200;
        res.set_content(outcome.body, "application/json; charset=utf-8");
      } else {
        res.status = 400;
        res.set_content(outcome.body, kTextPlain);
      }
    });
    server.Get(R"(/.*)", [](const httplib::Request& req, httplib::Response& res) {
      const EmbeddedFile& file = page_file_for_path(req.path);
      res.set_header("Content-Security-Policy", kContentSecurityPolicy);
      res.set_header("Cache-Control", "no-store");
      res.set_header("X-Content-Type-Options", "nosniff");
      res.set_content(file.bytes.data(), file.bytes.size(), std::string(mime_type_for(file.name)).c_str());
    });
  }
};

LoopbackHost::LoopbackHost(Dispatcher& dispatcher, LoopbackOptions options)
    : impl_(new Impl{dispatcher, std::move(options), {}, {}, -1}) {
  impl_->install_routes();
}

LoopbackHost::~LoopbackHost() = default;

int LoopbackHost::bind() {
  auto& s = impl_->server;
  if (impl_->options.port == 0) impl_->port = s.bind_to_any_port("127.0.0.1");
  else impl_->port = s.bind_to_port("127.0.0.1", impl_->options.port) ? impl_->options.port : -1;
  return impl_->port;
}

bool LoopbackHost::serve() { return impl_->server.listen_after_bind(); }

void LoopbackHost::stop() { impl_->server.stop(); }

}  // namespace calcora
