// The proposal commands as the page calls them: the stored ticket, the base address from
// CALCORA_SITE_URL, and the results and errors that reach the page.
#include <gtest/gtest.h>

#include <cstdlib>

#include "command_fixture.h"
#include "proposal_test_service.h"

namespace calcora {
namespace {

const char* kTicket = "ticket-секрет-1";
const char* kNoTicket = "нет ключа доступа к сервису ссылок: укажите его в настройках";

struct ProposalCommandsTest : test::CommandTest {
  void SetUp() override {
    for (const char* name : {"http_proxy", "HTTP_PROXY", "https_proxy", "HTTPS_PROXY", "all_proxy", "ALL_PROXY"})
      test::unset_env(name);
    // The trailing slash is dropped before paths are appended.
    test::set_env("CALCORA_SITE_URL", (service.base_address() + "/").c_str());
  }
  void TearDown() override { test::unset_env("CALCORA_SITE_URL"); }

  // The page sees both outcomes of these commands, so here `call` gives the outcome whole.
  CommandOutcome call(const char* command, const Json& args) { return dispatcher.dispatch(command, args); }

  test::ProposalTestService service{kTicket};
};

TEST_F(ProposalCommandsTest, TicketIsStoredTrimmedAndBlankDeletesIt) {
  const std::pair<Json, const char*> cases[] = {
      {{{"ticket", "  abc-1\n"}}, R"("abc-1")"}, {{{"ticket", " \t "}}, "null"},
      {{{"ticket", "abc-2"}}, R"("abc-2")"},     {{{"ticket", nullptr}}, "null"},
      {{{"ticket", "abc-3"}}, R"("abc-3")"},     {Json::object(), "null"},
  };
  EXPECT_EQ(call("proposal_ticket_get", Json::object()).body, "null");
  for (const auto& [args, stored] : cases) {
    auto set = call("proposal_ticket_set", args);
    ASSERT_TRUE(set.ok) << set.body;
    EXPECT_EQ(set.body, "null");
    EXPECT_EQ(call("proposal_ticket_get", Json::object()).body, stored) << args.dump();
  }
  EXPECT_EQ(call("proposal_ticket_set", {{"ticket", 5}}).body,
            "invalid args `ticket` for command `proposal_ticket_set`: invalid type: integer `5`, expected a string");
}

TEST_F(ProposalCommandsTest, WithoutTicketNothingIsSent) {
  auto publish = call("proposal_publish", {{"snapshot", {{"title", "КП"}}}, {"token", nullptr}});
  EXPECT_FALSE(publish.ok);
  EXPECT_EQ(publish.body, kNoTicket);
  auto revoke = call("proposal_revoke", {{"token", "kp1"}});
  EXPECT_FALSE(revoke.ok);
  EXPECT_EQ(revoke.body, kNoTicket);
  EXPECT_TRUE(service.requests().empty());
}

TEST_F(ProposalCommandsTest, PublishPollRevokeThroughTheDispatcher) {
  ASSERT_TRUE(call("proposal_ticket_set", {{"ticket", kTicket}}).ok);
  Json snapshot = {
      {"title", "КП"}, {"object_name", "Баня"}, {"lines", Json::array()}, {"stages", Json::array()}, {"total", 0}};
  // A missing `token` is a first publication, like null.
  auto published = call("proposal_publish", {{"snapshot", snapshot}});
  ASSERT_TRUE(published.ok) << published.body;
  Json link = Json::parse(published.body);
  std::string token = link["token"];
  EXPECT_EQ(published.body, Json({{"token", token}, {"url", service.base_address() + "/p/" + token}}).dump());
  EXPECT_EQ(service.requests().at(0).path, "/api/proposals");
  EXPECT_EQ(Json::parse(service.requests().at(0).body)["ticket"], kTicket);

  auto poll = call("proposal_poll", {{"token", token}});
  ASSERT_TRUE(poll.ok) << poll.body;
  EXPECT_EQ(Json::parse(poll.body)["snapshot"], snapshot);

  auto revoke = call("proposal_revoke", {{"token", token}});
  ASSERT_TRUE(revoke.ok) << revoke.body;
  EXPECT_EQ(revoke.body, "null");
  EXPECT_EQ(call("proposal_poll", {{"token", token}}).body,
            R"({"ok":false,"revoked":true,"comments":null,"decision":null,"snapshot":null})");

  EXPECT_EQ(call("proposal_poll", Json::object()).body, "command proposal_poll missing required key token");
  EXPECT_EQ(call("proposal_publish", {{"snapshot", snapshot}, {"token", 3}}).body,
            "invalid args `token` for command `proposal_publish`: invalid type: integer `3`, expected a string");
}

TEST_F(ProposalCommandsTest, RefusedTicketNeverReachesTheErrorText) {
  ASSERT_TRUE(call("proposal_ticket_set", {{"ticket", "неверный-ключ"}}).ok);
  service.answer_with(403, "application/json", R"({"ok":false,"reason":"ключ неверный-ключ не принят"})");
  auto publish = call("proposal_publish", {{"snapshot", Json::object()}, {"token", nullptr}});
  EXPECT_FALSE(publish.ok);
  EXPECT_EQ(publish.body, "ключ *** не принят");
}

}  // namespace
}  // namespace calcora
