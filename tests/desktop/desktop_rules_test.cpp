// The desktop window's rules that need no display: where the view may go, how the page's
// requests and dialog requests are read, and which dropped addresses become paths.
#include <glib.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/desktop/command_channel.h"
#include "app/desktop/file_dialogs.h"
#include "app/desktop/file_drop.h"
#include "app/desktop/page_scheme.h"
#include "app/desktop/print_windows.h"
#include "app/startup.h"
#include "test_support.h"

namespace calcora::desktop {
namespace {

TEST(DesktopNavigation, OnlyThePageOwnOriginIsAllowed) {
  const struct {
    const char* uri;
    bool allowed;
  } cases[] = {
      {"calcora://app/index.html", true},
      {"calcora://app/editor/5", true},
      {"calcora://app", true},
      {"calcora://app/#/catalog", true},
      {"about:blank", true},
      {"blob:calcora://app/5b1c8a52-0000-4000-8000-000000000000", true},
      // A dropped file, the website, look-alike hosts and other schemes stay outside.
      {"file:///home/user/%D0%A1%D0%BC%D0%B5%D1%82%D0%B0.xlsx", false},
      {"https://calcora.ru/", false},
      {"calcora://apple/index.html", false},
      {"calcora://app.example.org/index.html", false},
      {"calcora://other/index.html", false},
      {"blob:https://example.org/5b1c8a52", false},
      {"data:text/html,<p>x</p>", false},
      {"javascript:alert(1)", false},
      {"", false},
  };
  for (const auto& c : cases) EXPECT_EQ(page_may_navigate_to(c.uri), c.allowed) << c.uri;
}

TEST(DesktopNavigation, WindowsOpenOnlyOnAnEmptyDocument) {
  EXPECT_TRUE(page_may_open_window_on(""));
  EXPECT_TRUE(page_may_open_window_on("about:blank"));
  for (const char* uri : {"calcora://app/index.html", "about:srcdoc", "https://calcora.ru/p/kp1",
                          "blob:calcora://app/5b1c8a52", "data:text/html,<p>x</p>", "javascript:print()"})
    EXPECT_FALSE(page_may_open_window_on(uri)) << uri;
}

TEST(DesktopFileDialog, ReadsTheRequestsThePageSends) {
  auto save = parse_file_dialog_request(
      R"({"kind":"save","title":"Экспорт","defaultName":"Смета.xlsx",)"
      R"("filters":[{"name":"Книга Excel","extensions":["xlsx"]},{"name":"Все файлы","extensions":[]}]})");
  ASSERT_TRUE(save);
  EXPECT_TRUE(save->save);
  EXPECT_EQ(save->title, "Экспорт");
  EXPECT_EQ(save->default_name, "Смета.xlsx");
  ASSERT_EQ(save->filters.size(), 2u);
  EXPECT_EQ(save->filters[0].name, "Книга Excel");
  EXPECT_EQ(save->filters[0].extensions, std::vector<std::string>{"xlsx"});

  auto open = parse_file_dialog_request(R"({"kind":"open","title":null})");
  ASSERT_TRUE(open);
  EXPECT_FALSE(open->save);
  EXPECT_TRUE(open->title.empty());
  EXPECT_TRUE(open->filters.empty());

  for (const char* bad :
       {"", "null", "[]", R"("open")", R"({})", R"({"kind":"delete"})", R"({"kind":"open","title":5})",
        R"({"kind":"open","filters":{}})", R"({"kind":"open","filters":[{"name":"x"}]})",
        R"({"kind":"open","filters":[{"name":"x","extensions":[1]}]})"})
    EXPECT_FALSE(parse_file_dialog_request(bad)) << bad;
}

TEST(DesktopCommandChannel, RunsWellFormedRequestsAndRefusesTheRest) {
  test::TempDir dir;
  auto state = set_up_app_state(dir / "data");
  Dispatcher dispatcher(*state);

  const auto target = dir / "note.txt";
  const Json request = {{"command", "write_utf8"}, {"args", {{"path", target.string()}, {"text", "Смета №1\r\n"}}}};
  CommandOutcome written = run_page_request(dispatcher, request.dump());
  EXPECT_TRUE(written.ok) << written.body;
  EXPECT_EQ(written.body, "null");
  EXPECT_EQ(test::read_text(target), "Смета №1\r\n");

  // Handler and decoding failures come back as the dispatcher words them.
  CommandOutcome missing = run_page_request(dispatcher, R"({"command":"write_utf8"})");
  EXPECT_FALSE(missing.ok);
  EXPECT_NE(missing.body.find("write_utf8"), std::string::npos) << missing.body;
  CommandOutcome unknown = run_page_request(dispatcher, R"({"command":"drop_everything","args":{}})");
  EXPECT_FALSE(unknown.ok);
  EXPECT_EQ(unknown.body, "unknown command `drop_everything`");

  for (const char* bad : {"", "not json", "[]", "null", R"("write_utf8")", R"({"args":{}})", R"({"command":5})"}) {
    CommandOutcome outcome = run_page_request(dispatcher, bad);
    EXPECT_FALSE(outcome.ok) << bad;
    EXPECT_EQ(outcome.body.rfind("invalid request", 0), 0u) << bad << " -> " << outcome.body;
  }
}

TEST(DesktopFileDrop, LocalFileAddressesBecomePaths) {
  const std::string own_host = std::string("file://") + g_get_host_name() + "/tmp/b.csv";
  const char* uris[] = {"file:///tmp/%D0%A1%D0%BC%D0%B5%D1%82%D0%B0%20%E2%84%961.xlsx",
                        "file://localhost/tmp/a.clcx",
                        own_host.c_str(),
                        "file://fileserver/share/c.xlsx",
                        "https://calcora.ru/x.xlsx",
                        "trash:///d.xlsx",
                        "file:///tmp/broken%zz",
                        nullptr};
  EXPECT_EQ(paths_of_uris(uris), (std::vector<std::string>{"/tmp/Смета №1.xlsx", "/tmp/a.clcx", "/tmp/b.csv"}));
  EXPECT_TRUE(paths_of_uris(nullptr).empty());
}

}  // namespace
}  // namespace calcora::desktop
