// What a hostile or careless client cannot do to the link service: run script through a
// snapshot, store an oversized or malformed one, post the customer's forms from another
// site, or flood the service.
#include <httplib.h>

#include "link_fixture.h"

namespace calcora::link::test {
namespace {

constexpr const char* kScript = "<script>alert(1)</script><img src=x onerror=alert(2)>\"'&";

Json hostile_snapshot() {
  return {{"title", kScript},
          {"object_name", kScript},
          {"lines", Json::array({{{"id", 1}, {"name", kScript}, {"unit", kScript}, {"quantity", 1},
                                  {"unit_price", 2}, {"total", 2}}})},
          {"stages", Json::array({{{"title", kScript}, {"amount", 1}}})},
          {"total", 2},
          {"logo_b64", "data:image/svg+xml;base64,\"><script>alert(3)</script>"}};
}

struct SafetyTest : ::testing::Test {
  static ServiceOptions options() {
    ServiceOptions o;
    o.limits.ticket_per_minute = 5;
    o.limits.max_comments = 2;
    return o;
  }
  httplib::Result api(const Json& body) {
    return http.Post("/api/proposals", body.dump(), "application/json");
  }
  std::string publish(const Json& snap) {
    auto reply = api({{"ticket", ticket}, {"snapshot", snap}, {"token", nullptr}});
    return Json::parse(reply->body).value("token", "");
  }
  StorePlace place{Engine::kSqlite};
  std::unique_ptr<Instance> instance = std::make_unique<Instance>(place, options());
  std::string ticket = add_ticket(*instance->store, "Фирма");
  httplib::Client http{"127.0.0.1", instance->port};
};

TEST_F(SafetyTest, EveryTextOfAHostileSnapshotIsShownAsText) {
  std::string token = publish(hostile_snapshot());
  ASSERT_FALSE(token.empty());
  auto page = http.Get("/p/" + token);
  ASSERT_TRUE(page);
  EXPECT_EQ(page->body.find("<script"), std::string::npos);
  EXPECT_EQ(page->body.find("<img src=x"), std::string::npos);
  EXPECT_NE(page->body.find("<h1>&lt;script&gt;alert(1)&lt;/script&gt;&lt;img src=x onerror=alert(2)&gt;&quot;'&amp;</h1>"),
            std::string::npos);
  // Even the logo's data URL stays inside its attribute.
  EXPECT_NE(page->body.find("src=\"data:image/svg+xml;base64,&quot;&gt;&lt;script&gt;"), std::string::npos);
  EXPECT_EQ(page->get_header_value("Content-Security-Policy").rfind("default-src 'none';", 0), 0u);
  EXPECT_EQ(page->get_header_value("Content-Security-Policy").find("script-src"), std::string::npos);
  EXPECT_EQ(page->get_header_value("X-Content-Type-Options"), "nosniff");
  EXPECT_EQ(page->get_header_value("Referrer-Policy"), "same-origin");
}

TEST_F(SafetyTest, OversizedOrMalformedPublicationsAreRefusedAndNothingIsStored) {
  std::string token = publish(Json::parse(R"({"title":"Было","object_name":"","lines":[],"stages":[],"total":0})"));
  ASSERT_FALSE(token.empty());
  Json big_logo = hostile_snapshot();
  big_logo["logo_b64"] = "data:image/png;base64," + std::string(700'000, 'A');
  std::string deep = std::string(100'000, '[') + std::string(100'000, ']');
  struct Case {
    std::string body;
    int status;
    std::string reason;
  } cases[] = {
      {Json({{"ticket", ticket}, {"snapshot", big_logo}, {"token", token}}).dump(), 413, "логотип больше 500 КБ"},
      {Json({{"ticket", ticket}, {"snapshot", std::string(3u << 20, 'x')}, {"token", token}}).dump(), 413,
       "предложение больше 2 МБ: уменьшите логотип или число строк"},
      {R"({"ticket":")" + ticket + R"(","token":")" + token + R"(","snapshot":)" + deep + "}", 400,
       "предложение не читается: слишком глубокая вложенность"},
      {Json({{"ticket", ticket}, {"snapshot", {{"title", 5}}}, {"token", token}}).dump(), 400,
       "предложение не читается: title is not a text"},
      {"{\"ticket\": ", 400, "запрос не читается: ожидался JSON"},
  };
  for (const auto& c : cases) {
    auto reply = http.Post("/api/proposals", c.body, "application/json");
    ASSERT_TRUE(reply) << c.reason;
    EXPECT_EQ(reply->status, c.status) << c.reason;
    EXPECT_EQ(Json::parse(reply->body), Json({{"ok", false}, {"reason", c.reason}}));
  }
  auto poll = http.Get("/api/proposals/" + token);
  EXPECT_EQ(Json::parse(poll->body)["snapshot"]["title"], "Было");
}

TEST_F(SafetyTest, CustomerFormsNeedTheirOwnPageAndStayWithinTheirCaps) {
  std::string token = publish(hostile_snapshot());
  auto page = http.Get("/p/" + token);
  std::string set = page->get_header_value("Set-Cookie");
  EXPECT_NE(set.find("HttpOnly; SameSite=Strict"), std::string::npos);
  std::string cookie = set.substr(0, set.find(';'));
  std::string key = cookie.substr(cookie.find('=') + 1);
  auto post = [&](const std::string& form, httplib::Params fields, httplib::Headers headers) {
    return http.Post("/p/" + token + "/" + form, headers, fields);
  };
  httplib::Headers own = {{"Cookie", cookie}, {"Origin", "http://127.0.0.1:" + std::to_string(instance->port)}};
  // The page's own key with its first character changed, whatever that character is.
  std::string wrong_key = (key[0] == 'A' ? "B" : "A") + key.substr(1);
  struct Case {
    const char* what;
    std::string form;
    httplib::Params fields;
    httplib::Headers headers;
    std::string shown;
  } cases[] = {
      {"no cookie", "comment", {{"form_key", key}, {"body", "x"}}, {}, "Страница устарела"},
      {"another site", "comment", {{"form_key", key}, {"body", "x"}},
       {{"Cookie", cookie}, {"Origin", "https://evil.example"}}, "Страница устарела"},
      {"wrong key", "decision", {{"form_key", wrong_key}, {"name", "Я"}, {"decision", "approved"}}, own,
       "Страница устарела"},
      {"no name", "decision", {{"form_key", key}, {"name", "  "}, {"decision", "approved"}}, own, "Укажите ваше имя."},
      {"odd decision", "decision", {{"form_key", key}, {"name", "Я"}, {"decision", "maybe"}}, own,
       "Выберите: согласовать или отклонить."},
      {"empty comment", "comment", {{"form_key", key}, {"body", " "}}, own, "Напишите комментарий."},
      {"long comment", "comment", {{"form_key", key}, {"body", std::string(2001, 'z')}}, own,
       "Комментарий длиннее 2000 знаков."},
  };
  for (const auto& c : cases) {
    auto reply = post(c.form, c.fields, c.headers);
    ASSERT_TRUE(reply) << c.what;
    EXPECT_EQ(reply->status, 400) << c.what;
    EXPECT_NE(reply->body.find(c.shown), std::string::npos) << c.what;
  }
  // What was typed comes back in the form, escaped.
  auto refused = post("comment", {{"form_key", key}, {"name", "<b>Ира</b>"}, {"body", std::string(2001, 'z')}}, own);
  EXPECT_NE(refused->body.find("value=\"&lt;b&gt;Ира&lt;/b&gt;\""), std::string::npos);

  auto poll = Json::parse(http.Get("/api/proposals/" + token)->body);
  EXPECT_EQ(poll["comments"], Json::array());
  EXPECT_TRUE(poll["decision"].is_null());

  for (int i = 0; i < 2; ++i) EXPECT_EQ(post("comment", {{"form_key", key}, {"body", "ок"}}, own)->status, 303);
  auto full = post("comment", {{"form_key", key}, {"body", "третий"}}, own);
  EXPECT_NE(full->body.find("больше нельзя добавить комментарии"), std::string::npos);
  EXPECT_EQ(Json::parse(http.Get("/api/proposals/" + token)->body)["comments"].size(), 2u);
}

TEST_F(SafetyTest, ATicketBeyondItsRateIsToldToWait) {
  // Five a minute: eleven quick requests reach the limit even when they straddle two minutes.
  int status = 200;
  std::string body;
  for (int i = 0; i < 11 && status == 200; ++i) {
    auto reply = api({{"ticket", ticket}, {"snapshot", hostile_snapshot()}, {"token", nullptr}});
    ASSERT_TRUE(reply);
    status = reply->status;
    body = reply->body;
  }
  EXPECT_EQ(status, 429);
  EXPECT_EQ(Json::parse(body)["reason"], "слишком много запросов, повторите через минуту");
}

TEST(LinkLog, TokensAreCutInLoggedPaths) {
  EXPECT_EQ(path_for_log("/p/AbCdEfGhIjKlMnOpQrStUvWx/comment"), "/p/AbCd…/comment");
  EXPECT_EQ(path_for_log("/api/proposals/AbCdEfGhIjKlMnOpQrStUvWx"), "/api/proposals/AbCd…");
  EXPECT_EQ(path_for_log("/healthz"), "/healthz");
}

}  // namespace
}  // namespace calcora::link::test
