// The loopback host's dialog route, as the desktop program's browser window uses it: only with the
// key, only in a host that has dialogs, and a dialog waiting for its user holds no command.
#include <gtest/gtest.h>
#include <httplib.h>

#include <chrono>
#include <condition_variable>
#include <mutex>
#include <thread>

#include "app/native_dialogs.h"
#include "command_fixture.h"
#include "serve/loopback_host.h"

namespace calcora {
namespace {

constexpr const char* kDialogTestKey = "dialog-test-key";

// A save dialog that stays open until the test lets the user answer it.
struct WaitingDialogs : NativeDialogs {
  std::mutex mutex;
  std::condition_variable changed;
  bool open = false;
  bool answered = false;
  std::optional<FileDialogRequest> asked;

  void message(const std::string&) override {}
  bool confirm(const std::string&) override { return true; }
  std::optional<std::string> choose_file(const FileDialogRequest& request) override {
    std::unique_lock lock(mutex);
    asked = request;
    open = true;
    changed.notify_all();
    changed.wait(lock, [&] { return answered; });
    return "C:\\Users\\Пётр\\Мои сметы\\смета №1.xlsx";
  }
  bool wait_until_open() {
    std::unique_lock lock(mutex);
    return changed.wait_for(lock, std::chrono::seconds(60), [&] { return open; });
  }
  void answer() {
    std::lock_guard lock(mutex);
    answered = true;
    changed.notify_all();
  }
};

struct HostWithDialogs {
  LoopbackHost host;
  int port;
  std::thread serving;
  HostWithDialogs(Dispatcher& dispatcher, NativeDialogs* dialogs)
      : host(dispatcher, options(dialogs)), port(host.bind()), serving([this] { host.serve(); }) {}
  ~HostWithDialogs() {
    host.stop();
    serving.join();
  }
  static LoopbackOptions options(NativeDialogs* dialogs) {
    LoopbackOptions o;
    o.key = kDialogTestKey;
    o.dialogs = dialogs;
    return o;
  }
};

const char* const kExportSaveRequest =
    R"({"kind":"save","defaultName":"смета №1.xlsx","filters":[{"name":"Книга Excel","extensions":["xlsx"]}]})";

TEST(LoopbackDialogs, ADialogWaitingForItsUserHoldsNoCommandAndItsPathComesBack) {
  test::AppFixture app;
  WaitingDialogs dialogs;
  HostWithDialogs running(app.dispatcher, &dialogs);
  ASSERT_GT(running.port, 0);

  int saved_status = 0;
  std::string saved_body;
  std::thread page([&] {
    httplib::Client client("127.0.0.1", running.port);
    client.set_read_timeout(60, 0);
    auto saved = client.Post("/api/dialog", httplib::Headers{{"X-Calcora-Key", kDialogTestKey}}, kExportSaveRequest, "application/json");
    if (!saved) return;
    saved_status = saved->status;
    saved_body = saved->body;
  });
  const bool opened = dialogs.wait_until_open();
  int listed_status = 0;
  if (opened) {
    httplib::Client client("127.0.0.1", running.port);
    auto listed = client.Post("/api/invoke/list_estimates", httplib::Headers{{"X-Calcora-Key", kDialogTestKey}}, "{}",
                              "application/json");
    if (listed) listed_status = listed->status;
  }
  dialogs.answer();
  page.join();
  ASSERT_TRUE(opened);
  EXPECT_EQ(listed_status, 200);  // answered while the dialog was still open

  ASSERT_EQ(saved_status, 200);
  EXPECT_EQ(Json::parse(saved_body), "C:\\Users\\Пётр\\Мои сметы\\смета №1.xlsx");
  ASSERT_TRUE(dialogs.asked);
  EXPECT_EQ(dialogs.asked->default_name, "смета №1.xlsx");
  ASSERT_EQ(dialogs.asked->filters.size(), 1u);
  EXPECT_EQ(dialogs.asked->filters[0].name, "Книга Excel");
}

TEST(LoopbackDialogs, RefusedWithoutTheKeyAndAbsentFromAHostWithoutDialogs) {
  test::AppFixture app;
  WaitingDialogs dialogs;
  const char* const alert = R"({"kind":"alert","message":"x"})";
  {
    HostWithDialogs running(app.dispatcher, &dialogs);
    httplib::Client client("127.0.0.1", running.port);
    auto foreign = client.Post("/api/dialog", httplib::Headers{{"X-Calcora-Key", "other"}}, alert, "application/json");
    ASSERT_TRUE(foreign);
    EXPECT_EQ(foreign->status, 403);
    auto bad = client.Post("/api/dialog", httplib::Headers{{"X-Calcora-Key", kDialogTestKey}}, "{}", "application/json");
    ASSERT_TRUE(bad);
    EXPECT_EQ(bad->status, 400);
    EXPECT_NE(bad->body.find("invalid dialog request"), std::string::npos);
  }
  HostWithDialogs plain(app.dispatcher, nullptr);
  httplib::Client client("127.0.0.1", plain.port);
  auto absent = client.Post("/api/dialog", httplib::Headers{{"X-Calcora-Key", kDialogTestKey}}, alert, "application/json");
  ASSERT_TRUE(absent);
  EXPECT_EQ(absent->status, 404);
}

}  // namespace
}  // namespace calcora
