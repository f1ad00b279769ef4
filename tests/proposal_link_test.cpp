// The link service client against a service on 127.0.0.1: the round trip of a publication,
// every way a reply can fail, a service that never answers, and the address rules.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>

#include "common/errors.h"
#include "proposal/link_service.h"
#include "proposal/site_address.h"
#include "proposal_test_service.h"
#include "test_platform.h"

namespace calcora {
namespace {

using namespace std::chrono_literals;

const char* kLinkTicket = "ticket-секрет-1";

// Keeps the tests' requests on this machine even where a proxy is configured.
void drop_proxy_settings() {
  for (const char* name : {"http_proxy", "HTTP_PROXY", "https_proxy", "HTTPS_PROXY", "all_proxy", "ALL_PROXY"})
    test::unset_env(name);
}

Json sample_snapshot() {
  return Json::parse(R"({"title":"КП на кровлю","object_name":"Дом <b>&</b>","lines":[
    {"id":1,"name":"Кровля","unit":null,"quantity":null,"unit_price":null,"total":0},
    {"id":2,"name":"Профнастил","unit":"м2","quantity":120.5,"unit_price":850,"total":102425}],
    "stages":[{"title":"Аванс","amount":50000}],"total":102425})");
}

// The error text of a call that must fail.
template <typename F>
std::string error_of(F&& call) {
  try {
    call();
  } catch (const CommandError& e) {
    return e.what();
  }
  return "(no error)";
}

struct LinkServiceTest : ::testing::Test {
  void SetUp() override { drop_proxy_settings(); }
  test::ProposalTestService service;
  LinkServiceConfig config{service.base_address(), 5s};
};

TEST_F(LinkServiceTest, PublishPollRevokeRoundTrip) {
  auto first = publish_proposal(config, kLinkTicket, sample_snapshot(), std::nullopt);
  EXPECT_EQ(first.url, service.base_address() + "/p/" + first.token);
  EXPECT_EQ(first.to_json().dump(), Json({{"token", first.token}, {"url", first.url}}).dump());
  EXPECT_EQ(service.snapshot(first.token), sample_snapshot());

  auto sent = service.requests().at(0);
  EXPECT_EQ(sent.method, "POST");
  EXPECT_EQ(sent.path, "/api/proposals");
  EXPECT_EQ(sent.content_type, "application/json");
  EXPECT_FALSE(sent.has_authorization);
  EXPECT_EQ(Json::parse(sent.body), Json({{"ticket", kLinkTicket}, {"snapshot", sample_snapshot()}, {"token", nullptr}}));

  // A later publish of the same proposal updates the same link.
  Json changed = sample_snapshot();
  changed["total"] = 1;
  auto again = publish_proposal(config, kLinkTicket, changed, first.token);
  EXPECT_EQ(again.token, first.token);
  EXPECT_EQ(service.snapshot(first.token), changed);

  auto fresh = poll_proposal(config, first.token);
  EXPECT_EQ(
      fresh.to_json().dump(),
      Json(
          {{"ok", true}, {"revoked", false}, {"comments", Json::array()}, {"decision", nullptr}, {"snapshot", changed}})
          .dump());
  EXPECT_EQ(service.requests().back().method, "GET");
  EXPECT_EQ(service.requests().back().path, "/api/proposals/" + first.token);
  EXPECT_EQ(service.requests().back().body, "");

  Json comments = Json::array({{{"name", "Иван"}, {"contact", "+7 900"}, {"body", "Можно дешевле?"}}});
  Json decision = {{"status", "approved"}, {"name", "Иван"}};
  service.set_feedback(first.token, comments, decision);
  auto answered = poll_proposal(config, first.token);
  EXPECT_EQ(answered.comments, comments);
  EXPECT_EQ(answered.decision, decision);

  revoke_proposal(config, kLinkTicket, first.token);
  EXPECT_EQ(Json::parse(service.requests().back().body),
            Json({{"ticket", kLinkTicket}, {"token", first.token}, {"revoke", true}}));
  EXPECT_EQ(poll_proposal(config, first.token).to_json().dump(),
            R"({"ok":false,"revoked":true,"comments":null,"decision":null,"snapshot":null})");
}

TEST_F(LinkServiceTest, RefusalsFromTheServiceItself) {
  EXPECT_EQ(error_of([&] { publish_proposal(config, "чужой ключ", sample_snapshot(), std::nullopt); }),
            "ключ доступа не принят");
  EXPECT_EQ(error_of([&] { revoke_proposal(config, kLinkTicket, "kp404"); }), "публикация не найдена");
  EXPECT_EQ(error_of([&] { poll_proposal(config, "kp404"); }), "публикация не найдена");
}

enum class Call { kPublish, kRevoke, kPoll };

struct CannedCase {
  Call call;
  int status;
  const char* content_type;
  const char* body;
  const char* error;  // nullptr: the call succeeds
};

TEST_F(LinkServiceTest, EveryKindOfReply) {
  const char* html = "<html><body>Not Found</body></html>";
  const CannedCase cases[] = {
      {Call::kPublish, 200, "application/json", R"({"ok":false,"reason":"тариф исчерпан"})", "тариф исчерпан"},
      {Call::kPublish, 200, "application/json", R"({"ok":false})", kNoNetwork},
      {Call::kPublish, 200, "application/json", R"({"ok":false,"reason":null})", kNoNetwork},
      {Call::kPublish, 200, "application/json", R"({"ok":false,"reason":"  "})", kNoNetwork},
      {Call::kPublish, 200, "application/json", R"({"ok":true})", kNoNetwork},
      {Call::kPublish, 200, "application/json", R"({"ok":true,"token":null})", kNoNetwork},
      {Call::kPublish, 200, "application/json", R"({"ok":true,"token":"a/b"})", kBadToken},
      {Call::kPublish, 200, "application/json", R"({"ok":true,"token":"a?b"})", kBadToken},
      {Call::kPublish, 200, "application/json", R"({"ok":true,"token":"a#b"})", kBadToken},
      {Call::kPublish, 200, "application/json", R"({"ok":true,"token":""})", kBadToken},
      {Call::kPublish, 200, "application/json", R"({"ok":"true","token":"t1"})", kNoNetwork},
      {Call::kPublish, 200, "application/json", R"({"ok":true,"token":7})", kNoNetwork},
      {Call::kPublish, 200, "application/json", R"({"ok":false,"reason":["x"]})", kNoNetwork},
      {Call::kPublish, 200, "application/json", R"([{"ok":true,"token":"t1"}])", kNoNetwork},
      {Call::kPublish, 200, "application/json", "", kNoNetwork},
      {Call::kPublish, 404, "text/html", html, kNoNetwork},
      // The status of a publish reply is not looked at: the body decides.
      {Call::kPublish, 500, "application/json", R"({"ok":true,"token":"t1","extra":1})", nullptr},
      {Call::kRevoke, 200, "application/json", R"({"ok":false,"reason":"уже отозвана"})", "уже отозвана"},
      {Call::kRevoke, 200, "application/json", R"({"ok":false})", kNoNetwork},
      {Call::kRevoke, 200, "application/json", R"({"token":"t1"})", kNoNetwork},
      {Call::kRevoke, 502, "text/html", html, kNoNetwork},
      {Call::kRevoke, 200, "application/json", R"({"ok":true,"token":null})", nullptr},
      {Call::kPoll, 404, "application/json", R"({"reason":"публикация удалена"})", "публикация удалена"},
      {Call::kPoll, 404, "application/json", "{}", kLinkNotFound},
      {Call::kPoll, 500, "application/json", R"({"reason":7})", kLinkNotFound},
      {Call::kPoll, 404, "text/html", html, kNoNetwork},
      {Call::kPoll, 200, "application/json", "", kNoNetwork},
      {Call::kPoll, 410, "text/html", html, kNoNetwork},
      {Call::kPoll, 410, "application/json", R"({"whatever":[1]})", nullptr},
      {Call::kPoll, 200, "application/json", "{}", nullptr},
      {Call::kPoll, 202, "application/json", "[]", nullptr},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(std::to_string(c.status) + " " + c.body);
    service.answer_with(c.status, c.content_type, c.body);
    std::string error = error_of([&] {
      switch (c.call) {
        case Call::kPublish: publish_proposal(config, kLinkTicket, sample_snapshot(), std::nullopt); break;
        case Call::kRevoke: revoke_proposal(config, kLinkTicket, "t1"); break;
        case Call::kPoll: poll_proposal(config, "t1"); break;
      }
    });
    EXPECT_EQ(error, c.error ? c.error : "(no error)");
  }
}

TEST_F(LinkServiceTest, PollPassesTheServiceMembersOnAsTheyCame) {
  service.answer_with(200, "application/json", "{}");
  EXPECT_EQ(poll_proposal(config, "t1").to_json().dump(),
            R"({"ok":true,"revoked":false,"comments":[],"decision":null,"snapshot":null})");
  service.answer_with(201, "application/json", R"({"comments":"нет","decision":{"status":"maybe"},"snapshot":5})");
  EXPECT_EQ(poll_proposal(config, "t1").to_json().dump(),
            R"({"ok":true,"revoked":false,"comments":"нет","decision":{"status":"maybe"},"snapshot":5})");
}

TEST_F(LinkServiceTest, ReasonNeverShowsTheTicket) {
  service.answer_with(200, "application/json",
                      Json({{"ok", false}, {"reason", std::string("ключ ") + kLinkTicket + " заблокирован"}}).dump());
  EXPECT_EQ(error_of([&] { publish_proposal(config, kLinkTicket, sample_snapshot(), std::nullopt); }),
            "ключ *** заблокирован");
  EXPECT_EQ(error_of([&] { revoke_proposal(config, kLinkTicket, "t1"); }), "ключ *** заблокирован");
}

TEST_F(LinkServiceTest, OversizedReplyIsNotRead) {
  // Valid JSON, but far larger than any proposal: reading stops at the cap.
  std::string huge = R"({"comments":")" + std::string(33u * 1024 * 1024, 'x') + R"("})";
  service.answer_with(200, "application/json", huge);
  EXPECT_EQ(error_of([&] { poll_proposal(config, "t1"); }), kNoNetwork);
}

TEST_F(LinkServiceTest, ForeignBaseAddressGetsTheUploadButNoLink) {
  // Host names are compared case-sensitively, yet this one still reaches the test service.
  LinkServiceConfig foreign{"http://LOCALHOST:" + std::to_string(service.port()), 5s};
  EXPECT_EQ(error_of([&] { publish_proposal(foreign, kLinkTicket, sample_snapshot(), std::nullopt); }), kForeignSite);
  ASSERT_EQ(service.requests().size(), 1u);
  EXPECT_EQ(service.requests()[0].path, "/api/proposals");
}

TEST_F(LinkServiceTest, NoServiceListening) {
  std::string gone_base;
  {
    test::ProposalTestService gone;
    gone_base = gone.base_address();
  }
  LinkServiceConfig closed{gone_base, 5s};
  EXPECT_EQ(error_of([&] { publish_proposal(closed, kLinkTicket, sample_snapshot(), std::nullopt); }), kNoNetwork);
  EXPECT_EQ(error_of([&] { revoke_proposal(closed, kLinkTicket, "t1"); }), kNoNetwork);
  EXPECT_EQ(error_of([&] { poll_proposal(closed, "t1"); }), kNoNetwork);
  // Only http and https are ever spoken, whatever the base address says.
  LinkServiceConfig file_base{"file:///etc", 5s};
  EXPECT_EQ(error_of([&] { poll_proposal(file_base, "passwd"); }), kNoNetwork);
}

TEST_F(LinkServiceTest, ServiceThatNeverAnswersTimesOut) {
  service.never_answer();
  LinkServiceConfig quick{service.base_address(), 300ms};
  for (Call call : {Call::kPublish, Call::kPoll}) {
    auto start = std::chrono::steady_clock::now();
    std::string error = error_of([&] {
      if (call == Call::kPublish) publish_proposal(quick, kLinkTicket, sample_snapshot(), std::nullopt);
      if (call == Call::kPoll) poll_proposal(quick, "t1");
    });
    auto took = std::chrono::steady_clock::now() - start;
    EXPECT_EQ(error, kNoNetwork);
    EXPECT_GE(took, 250ms);
    EXPECT_LT(took, 5s);
  }
  EXPECT_EQ(service.requests().size(), 2u);
}

TEST(SiteAddress, BaseAddressAndProgramDefaults) {
  EXPECT_EQ(service_base_address(nullptr), "https://calcora.ru");
  EXPECT_EQ(service_base_address(""), "https://calcora.ru");
  EXPECT_EQ(service_base_address("http://localhost:8080/"), "http://localhost:8080");
  EXPECT_EQ(service_base_address("https://example.org/kp///"), "https://example.org/kp");
  EXPECT_EQ(customer_address("http://localhost:8080", "kp1"), "http://localhost:8080/p/kp1");

  test::unset_env(kSiteUrlVariable);
  auto program = LinkServiceConfig::from_environment();
  EXPECT_EQ(program.base_address, "https://calcora.ru");
  EXPECT_EQ(program.timeout, std::chrono::seconds(20));
}

TEST(SiteAddress, AllowedBaseAddresses) {
  const std::pair<const char*, bool> cases[] = {
      {"https://calcora.ru", true},
      {"https://www.calcora.ru", true},
      {"http://localhost", true},
      {"http://localhost:8080", true},
      {"http://127.0.0.1:5173/kp", true},
      {"http://calcora.ru", false},
      {"https://Calcora.ru", false},
      {"https://shop.calcora.ru", false},
      {"https://calcora.ru.example.org", false},
      {"https://calcora.ru/kp", false},
      {"https://localhost:8080", false},
      {"http://LOCALHOST:8080", false},
      {"http://localhost.example.org", false},
      {"http://127.0.0.10", false},
      {"http://localhost:", false},
      {"http://localhost:1@example.org", false},
      {"", false},
  };
  for (const auto& [base, allowed] : cases) EXPECT_EQ(is_allowed_base_address(base), allowed) << base;
}

}  // namespace
}  // namespace calcora
