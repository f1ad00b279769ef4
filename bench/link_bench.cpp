// Figures for the proposal link service (build/calcora-link): publish and poll answer times
// (median and 99th percentile) at 200 requests per second for 30 seconds from 8 clients on
// kept-alive loopback connections, on SQLite and, when CALCORA_TEST_POSTGRES names a database
// (bench/run.sh starts a throwaway one), on PostgreSQL. The floor is a trivial request
// (/healthz) answered by the same server. CALCORA_LINK_BENCH_SECONDS shortens the load.
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "bench_support.h"
#include "commands/json.h"
#include "raw_http.h"

extern char** environ;

namespace calcora {
namespace {

using Clock = std::chrono::steady_clock;
constexpr int kClients = 8;
constexpr int kRatePerSecond = 200;

// Runs the program with arguments; returns its standard output's lines as they come, through
// `on_line`, until it returns true. The process is left running.
pid_t start(const std::vector<std::string>& args, const std::function<bool(const std::string&)>& on_line) {
  int out[2];
  if (pipe(out) != 0) return -1;
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_adddup2(&actions, out[1], 1);
  posix_spawn_file_actions_addclose(&actions, out[0]);
  std::vector<char*> argv;
  for (const auto& a : args) argv.push_back(const_cast<char*>(a.c_str()));
  argv.push_back(nullptr);
  pid_t pid = -1;
  if (posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), environ) != 0) pid = -1;
  posix_spawn_file_actions_destroy(&actions);
  close(out[1]);
  FILE* in = fdopen(out[0], "r");
  char line[4096];
  while (pid > 0 && fgets(line, sizeof line, in)) {
    std::string text(line);
    if (!text.empty() && text.back() == '\n') text.pop_back();
    if (on_line(text)) break;
  }
  // The rest of the output is not read; the service writes only its first lines there.
  return pid;
}

std::string program() {
  const char* given = std::getenv("CALCORA_LINK");
  return given ? given : std::string(CALCORA_BINARY_DIR) + "/calcora-link";
}

struct Service {
  pid_t pid = -1;
  int port = -1;
  std::string ticket;
  ~Service() {
    if (pid > 0) {
      kill(pid, SIGTERM);
      waitpid(pid, nullptr, 0);
    }
  }
};

bool start_service(Service& s, const std::vector<std::string>& storage) {
  std::vector<std::string> add = {program(), "ticket", "add", "bench"};
  add.insert(add.end(), storage.begin(), storage.end());
  pid_t adder = start(add, [&](const std::string& line) {
    s.ticket = line;  // the key is the last line
    return false;
  });
  if (adder < 0) return false;
  waitpid(adder, nullptr, 0);
  std::vector<std::string> serve = {program(), "serve", "--listen", "127.0.0.1:0", "--ticket-rate", "0",
                                    "--address-rate", "0"};
  serve.insert(serve.end(), storage.begin(), storage.end());
  s.pid = start(serve, [&](const std::string& line) {
    auto colon = line.rfind(':');
    if (line.starts_with("Calcora link: ") && colon != std::string::npos) s.port = std::stoi(line.substr(colon + 1));
    return true;
  });
  return s.pid > 0 && s.port > 0 && s.ticket.starts_with("clk_");
}

// One kept-alive connection; reconnects when the server closes it.
class Client {
 public:
  explicit Client(int port) : port_(port) {}
  std::optional<test::RawReply> ask(const std::string& request) {
    for (int attempt = 0; attempt < 2; ++attempt) {
      if (!connection_) connection_.emplace(port_);
      if (connection_->send(request)) {
        auto reply = connection_->read_reply(std::chrono::seconds(30));
        if (reply && reply->headers["connection"] != "close") return reply;
        connection_.reset();
        if (reply) return reply;
      } else {
        connection_.reset();
      }
    }
    return std::nullopt;
  }

 private:
  int port_;
  std::optional<test::RawConnection> connection_;
};

std::string publish_request(int port, const std::string& ticket, const Json& token, int revision) {
  Json lines = Json::array();
  for (int i = 1; i <= 20; ++i)
    lines.push_back({{"id", i}, {"name", "Позиция сметы номер " + std::to_string(i)}, {"unit", "м²"},
                     {"quantity", 12.5}, {"unit_price", 1450 + revision}, {"total", 12.5 * (1450 + revision)}});
  Json body = {{"ticket", ticket},
               {"snapshot",
                {{"title", "КП, редакция " + std::to_string(revision)},
                 {"object_name", "Квартира"},
                 {"lines", lines},
                 {"stages", Json::array()},
                 {"total", 0}}},
               {"token", token}};
  std::string text = body.dump();
  return test::http_request("POST", "/api/proposals", port, text, "Content-Type: application/json\r\n");
}

double percentile(const std::vector<double>& sorted, double p) {
  return sorted.empty() ? 0 : sorted[std::min(sorted.size() - 1, static_cast<size_t>(p * sorted.size()))];
}

struct Load {
  std::vector<double> ms;
  size_t failed = 0;
  double rate = 0;
};

// Each client sends on a fixed schedule (its share of the rate); a late answer delays only
// that client's next request.
Load paced(int port, std::chrono::seconds length, const std::function<std::string(int client, int n)>& request) {
  std::vector<std::vector<double>> times(kClients);
  std::vector<size_t> failures(kClients, 0);
  std::vector<std::thread> threads;
  const auto interval = std::chrono::microseconds(1'000'000 * kClients / kRatePerSecond);
  const auto begin = Clock::now() + std::chrono::milliseconds(300);
  const auto end = begin + length;
  for (int c = 0; c < kClients; ++c) {
    threads.emplace_back([&, c] {
      Client client(port);
      auto next = begin + interval * c / kClients;
      for (int n = 0; next < end; ++n, next += interval) {
        std::this_thread::sleep_until(next);
        auto sent = Clock::now();
        auto reply = client.ask(request(c, n));
        if (!reply || reply->status != 200) ++failures[c];
        else times[c].push_back(std::chrono::duration<double, std::milli>(Clock::now() - sent).count());
      }
    });
  }
  for (auto& t : threads) t.join();
  Load load;
  for (int c = 0; c < kClients; ++c) {
    load.ms.insert(load.ms.end(), times[c].begin(), times[c].end());
    load.failed += failures[c];
  }
  std::sort(load.ms.begin(), load.ms.end());
  load.rate = static_cast<double>(load.ms.size() + load.failed) / std::chrono::duration<double>(length).count();
  return load;
}

bool measure(const char* engine, const std::vector<std::string>& storage, std::chrono::seconds length) {
  Service service;
  if (!start_service(service, storage)) {
    std::fprintf(stderr, "link bench: the service did not start (%s)\n", engine);
    return false;
  }
  const int port = service.port;
  // Each client publishes its own proposal first; the load then updates and polls those.
  std::vector<std::string> tokens(kClients);
  Client setup(port);
  for (int c = 0; c < kClients; ++c) {
    auto reply = setup.ask(publish_request(port, service.ticket, nullptr, 0));
    if (!reply || reply->status != 200) return false;
    tokens[c] = Json::parse(reply->body)["token"];
  }
  const std::string health = test::http_request("GET", "/healthz", port);
  auto floor = bench::interleaved_medians(300, {[&] { setup.ask(health); }})[0];

  bool ok = true;
  for (const char* what : {"publish", "poll"}) {
    bool publishing = std::string(what) == "publish";
    Load load = paced(port, length, [&](int c, int n) {
      return publishing ? publish_request(port, service.ticket, tokens[c], n + 1)
                        : test::http_request("GET", "/api/proposals/" + tokens[c], port);
    });
    char size[64];
    std::snprintf(size, sizeof size, "%.0f/s, %zu errors", load.rate, load.failed);
    std::string name = std::string("link service: ") + what + " (" + engine + "), ";
    bench::report_row(name + "p50", size, percentile(load.ms, 0.50), floor);
    bench::report_row(name + "p99", size, percentile(load.ms, 0.99), floor);
    std::printf("%s %s: %zu answers, %zu failed, p50 %.2f ms, p99 %.2f ms, max %.2f ms\n", engine, what, load.ms.size(),
                load.failed, percentile(load.ms, 0.5), percentile(load.ms, 0.99), load.ms.empty() ? 0 : load.ms.back());
    ok &= load.failed == 0;
  }
  return ok;
}

int run() {
  const char* seconds = std::getenv("CALCORA_LINK_BENCH_SECONDS");
  const std::chrono::seconds length(seconds ? std::atoi(seconds) : 30);
  bench::ScratchDir dir("calcora-link-bench");
  bool ok = measure("SQLite", {"--data", (dir.path() / "link.db").string()}, length);
  if (const char* conninfo = std::getenv("CALCORA_TEST_POSTGRES"))
    ok &= measure("PostgreSQL", {"--postgres", conninfo}, length);
  else
    std::printf("PostgreSQL: skipped (CALCORA_TEST_POSTGRES is not set)\n");
  return ok ? 0 : 1;
}

}  // namespace
}  // namespace calcora

int main() { return calcora::run(); }
