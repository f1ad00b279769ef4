// Figures for the loopback host: a small command over a kept-alive connection beside the same
// command called in-process (the floor), and eight clients asking at once (requests per second and
// the 50th/95th/99th percentiles of their answer times). Set CALCORA_SERVE to measure another
// build of the host.
#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "app/startup.h"
#include "bench_support.h"
#include "commands/dispatcher.h"
#include "raw_http.h"
#include "serve_process.h"

namespace calcora {
namespace {

using Clock = std::chrono::steady_clock;
constexpr const char* kKey = "bench-key";
constexpr int kEstimates = 20;
constexpr int kClients = 8;
constexpr auto kLoadTime = std::chrono::seconds(4);

// One client on one kept-alive connection; it reconnects when the host closes the connection.
class Client {
 public:
  explicit Client(int port) : port_(port) {}
  bool ask(const std::string& request) {
    for (int attempt = 0; attempt < 2; ++attempt) {
      if (!connection_) connection_.emplace(port_);
      if (connection_->send(request)) {
        auto reply = connection_->read_reply(std::chrono::seconds(30));
        if (reply && reply->headers["connection"] != "close") return reply->status == 200;
        connection_.reset();
        if (reply) return reply->status == 200;
      } else {
        connection_.reset();
      }
    }
    return false;
  }

 private:
  int port_;
  std::optional<test::RawConnection> connection_;
};

double percentile(std::vector<double>& sorted, double p) {
  return sorted.empty() ? 0 : sorted[std::min(sorted.size() - 1, static_cast<size_t>(p * sorted.size()))];
}

int run() {
  bench::ScratchDir host_dir("calcora-serve-bench"), local_dir("calcora-serve-bench");
  test::ServeProcess host(host_dir.path(), kKey);
  auto state = set_up_app_state(local_dir.path());
  Dispatcher local(*state);

  const int port = host.port();
  const std::string list = test::command_request(port, kKey, "list_estimates", "{}");
  Client client(port);
  for (int i = 0; i < kEstimates; ++i) {
    const std::string args = R"({"objectName":"Объект )" + std::to_string(i) + "\"}";
    if (!client.ask(test::command_request(port, kKey, "create_estimate", args)) ||
        !local.dispatch_text("create_estimate", args).ok) {
      std::fprintf(stderr, "serve bench: seeding failed\n");
      return 1;
    }
  }

  bool all_ok = true;
  auto medians = bench::interleaved_medians(
      300, {[&] { all_ok &= client.ask(list); }, [&] { all_ok &= local.dispatch_text("list_estimates", "{}").ok; }});
  const std::string size = std::to_string(kEstimates) + " estimates";
  bench::report_row("serve: list_estimates, kept-alive connection", size, medians[0], medians[1]);

  // Eight clients, each on its own connection, asking as fast as answers come.
  std::atomic<bool> go{false};
  std::vector<std::vector<double>> times(kClients);
  std::vector<std::thread> threads;
  const auto end = Clock::now() + std::chrono::milliseconds(200) + kLoadTime;
  for (int c = 0; c < kClients; ++c) {
    threads.emplace_back([&, c] {
      Client mine(port);
      while (!go) std::this_thread::yield();
      while (Clock::now() < end) {
        auto start = Clock::now();
        bool ok = mine.ask(list);
        times[c].push_back(ok ? std::chrono::duration<double, std::milli>(Clock::now() - start).count() : -1);
      }
    });
  }
  std::this_thread::sleep_for(std::chrono::milliseconds(200));  // every client connected and waiting
  const auto started = Clock::now();
  go = true;
  for (auto& t : threads) t.join();
  const double seconds = std::chrono::duration<double>(Clock::now() - started).count();
  std::vector<double> all;
  size_t failed = 0;
  for (auto& t : times)
    for (double ms : t) {
      if (ms < 0)
        ++failed;
      else
        all.push_back(ms);
    }
  std::sort(all.begin(), all.end());
  const double rps = static_cast<double>(all.size()) / seconds;
  char load[64];
  std::snprintf(load, sizeof load, "%d clients %.0f rps", kClients, rps);
  bench::report_row("serve: list_estimates under load, p50", load, percentile(all, 0.50), medians[1]);
  bench::report_row("serve: list_estimates under load, p95", load, percentile(all, 0.95), medians[1]);
  bench::report_row("serve: list_estimates under load, p99", load, percentile(all, 0.99), medians[1]);
  std::printf("load: %zu answers in %.2f s, %zu failed\n", all.size(), seconds, failed);
  if (!all_ok || failed) std::fprintf(stderr, "serve bench: some requests failed\n");
  return all_ok && failed == 0 ? 0 : 1;
}

}  // namespace
}  // namespace calcora

int main() { return calcora::run(); }
