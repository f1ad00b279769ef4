// The loopback host under hostile or clumsy clients, at the socket level: half-sent headers and
// bodies, idle connections, oversized headers, pipelined requests and numbers out of range. In
// every case the host must go on answering a fresh client promptly.
#include <gtest/gtest.h>

#include <chrono>
#include <functional>
#include <string>
#include <vector>

#include "commands/json.h"
#include "raw_http.h"
#include "serve_process.h"
#include "test_support.h"

namespace calcora {
namespace {

using namespace std::chrono_literals;
using test::RawConnection;
using test::RawReply;

constexpr const char* kSocketKey = "socket-test-key";
// A fresh client is answered in milliseconds; the limit allows for a busy two-core machine, while
// a host whose workers are all held waits for a read timeout of several seconds.
constexpr auto kFreshClientLimit = 2000ms;
// How long any single answer may take to arrive in a test before it counts as missing.
constexpr auto kAnswerLimit = 10s;
constexpr int kHeldConnections = 32;

struct Host {
  test::TempDir dir;
  test::ServeProcess process{dir.path(), kSocketKey};
  int port() const { return process.port(); }

  std::string command(std::string_view name, std::string_view args) const {
    return test::command_request(port(), kSocketKey, name, args);
  }
  RawReply ask(std::string_view request, std::chrono::milliseconds limit = kAnswerLimit) const {
    RawConnection connection(port());
    EXPECT_TRUE(connection.send(request));
    auto reply = connection.read_reply(limit);
    if (!reply) ADD_FAILURE() << "no answer within " << limit.count() << " ms to: " << request.substr(0, 60);
    return reply.value_or(RawReply{});
  }
};

// The host still serves the page and a command to a newcomer, each within the limit.
void expect_fresh_client_served(const Host& host) {
  auto started = RawConnection::Clock::now();
  RawReply page = host.ask(test::http_request("GET", "/", host.port()), kFreshClientLimit);
  EXPECT_EQ(page.status, 200);
  EXPECT_NE(page.headers["content-security-policy"].find("frame-ancestors 'none'"), std::string::npos);
  RawReply list = host.ask(host.command("list_estimates", "{}"), kFreshClientLimit);
  EXPECT_EQ(list.status, 200) << list.body;
  auto took = std::chrono::duration_cast<std::chrono::milliseconds>(RawConnection::Clock::now() - started);
  EXPECT_LT(took, 2 * kFreshClientLimit);
}

std::vector<RawConnection> open_connections(const Host& host, int count, const std::string& first_bytes) {
  std::vector<RawConnection> held;
  for (int i = 0; i < count; ++i) {
    held.emplace_back(host.port());
    if (!first_bytes.empty()) {
      EXPECT_TRUE(held.back().send(first_bytes));
    }
  }
  return held;
}

std::string many_headers(int count, size_t value_size) {
  std::string lines;
  for (int i = 0; i < count; ++i)
    lines += "X-Filler-" + std::to_string(i) + ": " + std::string(value_size, 'v') + "\r\n";
  return lines;
}

struct Case {
  const char* name;
  // Puts the pressure on the host and checks its own answers; what it returns stays open while
  // a fresh client is served, then goes to `after`.
  std::function<std::vector<RawConnection>(Host&)> pressure;
  std::function<void(Host&, std::vector<RawConnection>&)> after;
};

std::vector<Case> cases() {
  return {
      {"slow headers: each connection stopped halfway through its headers",
       [](Host& host) {
         std::string request = host.command("list_estimates", "{}");
         return open_connections(host, kHeldConnections, request.substr(0, request.find("X-Calcora-Key") + 2));
       },
       [](Host& host, std::vector<RawConnection>& held) {
         // Once they finish, they are answered like anyone else.
         std::string request = host.command("list_estimates", "{}");
         for (auto& c : held) ASSERT_TRUE(c.send(request.substr(request.find("X-Calcora-Key") + 2)));
         for (auto& c : held) EXPECT_EQ(c.read_reply(kAnswerLimit).value_or(RawReply{}).status, 200);
       }},
      {"slow body: each connection sent half of its body",
       [](Host& host) {
         std::string request = host.command("list_estimates", "{}");
         return open_connections(host, kHeldConnections, request.substr(0, request.size() - 1));
       },
       [](Host&, std::vector<RawConnection>& held) {
         for (auto& c : held) ASSERT_TRUE(c.send("}"));
         for (auto& c : held) EXPECT_EQ(c.read_reply(kAnswerLimit).value_or(RawReply{}).status, 200);
       }},
      {"idle connections that never send", [](Host& host) { return open_connections(host, kHeldConnections, ""); },
       [](Host&, std::vector<RawConnection>& held) {
         // The host lets them go after its idle time (10 s), not at the end of the test.
         for (auto& c : held) EXPECT_TRUE(c.closed_by_peer(40s));
       }},
      {"many headers",
       [](Host& host) {
         RawReply reply = host.ask(test::http_request("GET", "/", host.port(), {}, many_headers(1000, 1)));
         EXPECT_EQ(reply.status, 431);
         return std::vector<RawConnection>{};
       },
       nullptr},
      {"large headers",
       [](Host& host) {
         RawReply reply = host.ask(test::http_request("GET", "/", host.port(), {}, many_headers(1, 40 * 1024)));
         EXPECT_EQ(reply.status, 431);
         reply = host.ask(test::http_request("GET", "/" + std::string(20 * 1024, 'a'), host.port()));
         EXPECT_EQ(reply.status, 414);
         return std::vector<RawConnection>{};
       },
       nullptr},
      {"headers without end",
       [](Host& host) {
         // The host stops taking them after a bounded amount instead of holding them all.
         RawConnection endless(host.port());
         endless.set_send_limit(5s);
         std::string chunk = "GET / HTTP/1.1\r\n" + many_headers(20000, 1);
         size_t taken = 0;
         for (int i = 0; i < 64; ++i) {
           size_t sent = 0;
           bool all = endless.send(chunk, &sent);
           taken += sent;
           if (!all) break;
         }
         EXPECT_LT(taken, size_t(16) << 20);
         return std::vector<RawConnection>{};
       },
       nullptr},
      {"pipelined pair in one write",
       [](Host& host) {
         RawConnection connection(host.port());
         EXPECT_TRUE(connection.send(host.command("no_such_command", "{}") + host.command("list_estimates", "{}")));
         auto first = connection.read_reply(kAnswerLimit).value_or(RawReply{});
         EXPECT_EQ(first.status, 400);
         EXPECT_EQ(first.body, "unknown command `no_such_command`");
         auto second = connection.read_reply(kAnswerLimit).value_or(RawReply{});
         EXPECT_EQ(second.status, 200);
         EXPECT_EQ(second.body, "[]");
         return std::vector<RawConnection>{};
       },
       nullptr},
      {"numbers out of range",
       [](Host& host) {
         RawReply reply = host.ask(host.command("evaluate_formula_cmd", R"({"expr":"a","vars":{"a":1e400}})"));
         EXPECT_EQ(reply.status, 400);
         EXPECT_EQ(reply.body,
                   "invalid args `vars` for command `evaluate_formula_cmd`: invalid value: number `1e400` is out of "
                   "range");
         // A result beyond a double's range reads as null, like the other non-finite results.
         reply = host.ask(host.command("evaluate_formula_cmd", R"({"expr":"a*a","vars":{"a":1e300}})"));
         EXPECT_EQ(reply.status, 200);
         EXPECT_EQ(reply.body, "null");
         return std::vector<RawConnection>{};
       },
       nullptr},
  };
}

TEST(ServeSockets, HostKeepsAnsweringFreshClients) {
  for (const Case& c : cases()) {
    SCOPED_TRACE(c.name);
    Host host;
    std::vector<RawConnection> held = c.pressure(host);
    expect_fresh_client_served(host);
    if (c.after) c.after(host, held);
    expect_fresh_client_served(host);
  }
}

// A line total beyond a double's range is stored and listed as null, as other non-finite totals are.
TEST(ServeSockets, OverflowingTotalReadsAsNull) {
  Host host;
  Json created = Json::parse(host.ask(host.command("create_estimate", R"({"objectName":"Дом"})")).body);
  created["lines"] = Json::array({{{"estimate_id", 0},
                                   {"sort_order", 1},
                                   {"line_type", "full"},
                                   {"name", "Кладка"},
                                   {"quantity", 1e300},
                                   {"unit_price", 1e300}}});
  RawReply saved = host.ask(host.command("save_estimate", Json{{"payload", created}}.dump()));
  ASSERT_EQ(saved.status, 200) << saved.body;
  RawReply list = host.ask(host.command("list_estimates", "{}"));
  ASSERT_EQ(list.status, 200) << list.body;
  Json summaries = Json::parse(list.body);
  ASSERT_EQ(summaries.size(), 1u);
  EXPECT_TRUE(summaries[0]["total"].is_null()) << summaries[0].dump();
}

}  // namespace
}  // namespace calcora
