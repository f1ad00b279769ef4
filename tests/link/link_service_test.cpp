// The program's own client (publish, poll, revoke) against the real link service, on SQLite
// and on PostgreSQL: the round trip with the customer's forms in between, accounts that see
// only their own publications, and two instances sharing one database.
#include <httplib.h>

#include "link_fixture.h"
#include "common/errors.h"
#include "proposal/link_service.h"

namespace calcora::link::test {
namespace {

using namespace std::chrono_literals;

Json snapshot(const std::string& title = "КП на кровлю") {
  return Json::parse(R"({"title":")" + title + R"(","object_name":"Дом у озера","lines":[
    {"id":1,"name":"Кровля","unit":"","quantity":null,"unit_price":null,"total":0},
    {"id":2,"name":"Профнастил","unit":"м2","quantity":120.5,"unit_price":850,"total":102425}],
    "stages":[{"title":"Аванс","amount":50000}],"total":102425})");
}

template <typename F>
std::string error_of(F&& call) {
  try {
    call();
  } catch (const CommandError& e) {
    return e.what();
  }
  return "(no error)";
}

// A customer's browser: keeps the form cookie and posts the page's forms as they are.
struct Customer {
  explicit Customer(int port) : http("127.0.0.1", port) {}

  httplib::Result open(const std::string& token) {
    auto page = http.Get("/p/" + token, headers());
    if (page && page->has_header("Set-Cookie")) {
      std::string set = page->get_header_value("Set-Cookie");
      cookie = set.substr(0, set.find(';'));
    }
    if (page) {
      auto at = page->body.find("name=\"form_key\" value=\"");
      if (at != std::string::npos) {
        at += 23;
        form_key = page->body.substr(at, page->body.find('"', at) - at);
      }
    }
    return page;
  }
  httplib::Result post(const std::string& token, const std::string& form, httplib::Params fields) {
    fields.emplace("form_key", form_key);
    return http.Post("/p/" + token + "/" + form, headers(), fields);
  }
  httplib::Headers headers() const {
    httplib::Headers h;
    if (!cookie.empty()) h.emplace("Cookie", cookie);
    return h;
  }

  httplib::Client http;
  std::string cookie, form_key;
};

struct LinkServiceTest : ::testing::TestWithParam<Engine> {
  void SetUp() override {
    for (const char* name : {"http_proxy", "HTTP_PROXY", "all_proxy", "ALL_PROXY"}) unsetenv(name);
    if (!place.available()) GTEST_SKIP() << "CALCORA_TEST_POSTGRES names no database";
    instance = std::make_unique<Instance>(place);
    ticket = add_ticket(*instance->store, "Бригада Петрова");
    config = {instance->base(), 10s};
  }
  StorePlace place{GetParam()};
  std::unique_ptr<Instance> instance;
  std::string ticket;
  calcora::LinkServiceConfig config;
};

TEST_P(LinkServiceTest, PublishUpdatePollDecideCommentRevoke) {
  auto first = publish_proposal(config, ticket, snapshot(), std::nullopt);
  EXPECT_GE(first.token.size(), 22u);  // at least 128 random bits
  EXPECT_EQ(first.url, instance->base() + "/p/" + first.token);
  auto updated = publish_proposal(config, ticket, snapshot("КП, вторая редакция"), first.token);
  EXPECT_EQ(updated.token, first.token);

  auto status = poll_proposal(config, first.token);
  EXPECT_TRUE(status.ok);
  EXPECT_EQ(status.snapshot, snapshot("КП, вторая редакция"));
  EXPECT_EQ(status.comments, Json::array());
  EXPECT_TRUE(status.decision.is_null());

  Customer customer(instance->port);
  auto page = customer.open(first.token);
  ASSERT_TRUE(page);
  EXPECT_EQ(page->status, 200);
  EXPECT_NE(page->body.find("<h1>КП, вторая редакция</h1>"), std::string::npos);
  EXPECT_NE(page->body.find("<p>Итого: 102 425 ₽</p>"), std::string::npos);
  auto decided = customer.post(first.token, "decision", {{"name", "Анна Петрова"}, {"decision", "approved"}});
  ASSERT_TRUE(decided);
  EXPECT_EQ(decided->status, 303);
  EXPECT_EQ(decided->get_header_value("Location"), "/p/" + first.token + "?sent=decision");
  auto commented = customer.post(first.token, "comment",
                                 {{"name", "Анна"}, {"contact", "+7 900 000-00-00"}, {"body", "Когда начнёте?"}});
  ASSERT_TRUE(commented);
  EXPECT_EQ(commented->status, 303);
  customer.post(first.token, "comment", {{"name", ""}, {"contact", ""}, {"body", "Хорошо бы в мае"}});

  status = poll_proposal(config, first.token);
  EXPECT_EQ(status.decision["status"], "approved");
  EXPECT_EQ(status.decision["name"], "Анна Петрова");
  ASSERT_EQ(status.comments.size(), 2u);
  EXPECT_EQ(status.comments[0]["name"], "Анна");
  EXPECT_EQ(status.comments[0]["contact"], "+7 900 000-00-00");
  EXPECT_EQ(status.comments[0]["body"], "Когда начнёте?");
  EXPECT_FALSE(status.comments[1].contains("contact"));
  EXPECT_NE(customer.open(first.token)->body.find("Предложение согласовано (Анна Петрова)"), std::string::npos);

  // The first decision stands.
  auto second = customer.post(first.token, "decision", {{"name", "Кто-то"}, {"decision", "rejected"}});
  EXPECT_EQ(second->status, 400);
  EXPECT_NE(second->body.find("Решение по этому предложению уже принято."), std::string::npos);
  EXPECT_EQ(poll_proposal(config, first.token).decision["status"], "approved");

  revoke_proposal(config, ticket, first.token);
  status = poll_proposal(config, first.token);
  EXPECT_TRUE(status.revoked);
  auto gone = customer.open(first.token);
  EXPECT_EQ(gone->status, 410);
  EXPECT_NE(gone->body.find("Предложение отозвано"), std::string::npos);
  EXPECT_EQ(customer.post(first.token, "comment", {{"body", "Ещё вопрос"}})->status, 410);
  // Publishing again after a withdrawal gives a new link; the old one stays withdrawn.
  auto renewed = publish_proposal(config, ticket, snapshot(), first.token);
  EXPECT_NE(renewed.token, first.token);
  EXPECT_TRUE(poll_proposal(config, first.token).revoked);
}

TEST_P(LinkServiceTest, ATicketSeesAndChangesOnlyItsOwnPublications) {
  auto mine = publish_proposal(config, ticket, snapshot("Моё"), std::nullopt);
  std::string other = add_ticket(*instance->store, "Другая фирма");

  EXPECT_EQ(error_of([&] { revoke_proposal(config, other, mine.token); }), "ссылка не найдена");
  auto theirs = publish_proposal(config, other, snapshot("Чужое"), mine.token);
  EXPECT_NE(theirs.token, mine.token);
  EXPECT_EQ(poll_proposal(config, mine.token).snapshot["title"], "Моё");

  EXPECT_EQ(error_of([&] { publish_proposal(config, "clk_unknown", snapshot(), std::nullopt); }),
            "ключ доступа не принят");
  ASSERT_TRUE(instance->store->revoke_ticket("Другая фирма", "2026-12-02T10:00:00Z"));
  EXPECT_EQ(error_of([&] { publish_proposal(config, other, snapshot(), std::nullopt); }), "ключ доступа не принят");
  EXPECT_EQ(error_of([&] { revoke_proposal(config, other, theirs.token); }), "ключ доступа не принят");
  EXPECT_EQ(error_of([&] { poll_proposal(config, "AAAAAAAAAAAAAAAAAAAAAAAA"); }), "ссылка не найдена");
}

TEST_P(LinkServiceTest, TwoInstancesOnOneDatabaseServeEachOthersPublications) {
  Instance second(place);
  auto published = publish_proposal(config, ticket, snapshot(), std::nullopt);
  calcora::LinkServiceConfig other{second.base(), 10s};
  EXPECT_EQ(poll_proposal(other, published.token).snapshot, snapshot());
  Customer customer(second.port);
  customer.open(published.token);
  customer.post(published.token, "decision", {{"name", "Олег"}, {"decision", "rejected"}});
  EXPECT_EQ(poll_proposal(config, published.token).decision["status"], "rejected");
  revoke_proposal(other, ticket, published.token);
  EXPECT_TRUE(poll_proposal(config, published.token).revoked);
}

INSTANTIATE_TEST_SUITE_P(Engines, LinkServiceTest, ::testing::Values(Engine::kSqlite, Engine::kPostgres), engine_name);

}  // namespace
}  // namespace calcora::link::test
