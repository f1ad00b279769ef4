// The desktop program that shows the page in the browser's application window: which browser it
// starts and how, and how the page's dialog requests reach the platform's dialogs and come back.
#include <gtest/gtest.h>

#include <filesystem>
#include <set>

#include "app/browser_shell/browser_launch.h"
#include "app/browser_shell/file_dialog_setup.h"
#include "app/native_dialogs.h"
#include "test_support.h"

namespace calcora::browser_shell {
namespace {

namespace fs = std::filesystem;

// What a platform would show, and the user's answers.
struct ScriptedDialogs : NativeDialogs {
  std::vector<std::string> shown;
  bool confirm_answer = false;
  std::optional<std::string> chosen;
  std::optional<FileDialogRequest> asked;

  void message(const std::string& text) override { shown.push_back("message " + text); }
  bool confirm(const std::string& text) override {
    shown.push_back("confirm " + text);
    return confirm_answer;
  }
  std::optional<std::string> choose_file(const FileDialogRequest& request) override {
    asked = request;
    return chosen;
  }
};

TEST(BrowserShell, SaveRequestOfTheExportReachesTheDialogAndACyrillicPathComesBack) {
  ScriptedDialogs dialogs;
  dialogs.chosen = "C:\\Users\\Пётр\\Мои сметы\\смета №1.xlsx";
  const auto answer = answer_dialog_request(
      dialogs, R"({"kind":"save","defaultName":"смета №1.xlsx","folder":"C:\\Users\\Пётр\\Мои сметы",)"
               R"("filters":[{"name":"Книга Excel","extensions":["xlsx"]}]})");
  ASSERT_TRUE(answer.ok) << answer.body;
  EXPECT_EQ(answer.body, R"("C:\\Users\\Пётр\\Мои сметы\\смета №1.xlsx")");
  ASSERT_TRUE(dialogs.asked);
  const FileDialogSetup setup = file_dialog_setup(*dialogs.asked);
  EXPECT_EQ(setup.title, "Сохранить файл");
  EXPECT_EQ(setup.file_name, "смета №1.xlsx");
  EXPECT_EQ(setup.folder, "C:\\Users\\Пётр\\Мои сметы");
  EXPECT_EQ(setup.default_extension, "xlsx");
  ASSERT_EQ(setup.file_types.size(), 1u);
  EXPECT_EQ(setup.file_types[0].name, "Книга Excel");
  EXPECT_EQ(setup.file_types[0].patterns, "*.xlsx");
}

TEST(BrowserShell, DialogRequestsAndTheirAnswers) {
  struct Case {
    const char* request;
    bool confirm_answer;
    std::optional<std::string> chosen;
    bool ok;
    std::string answer;  // JSON text, or the start of the error text
    std::string shown;   // what the platform was asked to show
  };
  const Case cases[] = {
      {R"({"kind":"alert","message":"Готово"})", false, {}, true, "null", "message Готово"},
      {R"({"kind":"confirm","message":"Удалить смету?"})", true, {}, true, "true", "confirm Удалить смету?"},
      {R"({"kind":"confirm","message":"Удалить смету?"})", false, {}, true, "false", "confirm Удалить смету?"},
      {R"({"kind":"open","filters":[{"name":"Calcora","extensions":["clcx"]}]})", false, {}, true, "null", ""},
      {R"({"kind":"open"})", false, "Z:\\tmp\\a.clcx", true, R"("Z:\\tmp\\a.clcx")", ""},
      {R"({"kind":"alert"})", false, {}, false, "invalid dialog request", ""},
      {R"({"kind":"prompt","message":"?"})", false, {}, false, "invalid dialog request", ""},
      {R"({"kind":"save","filters":"xlsx"})", false, {}, false, "invalid dialog request", ""},
      {"not json", false, {}, false, "invalid dialog request", ""},
  };
  for (const Case& c : cases) {
    ScriptedDialogs dialogs;
    dialogs.confirm_answer = c.confirm_answer;
    dialogs.chosen = c.chosen;
    const auto answer = answer_dialog_request(dialogs, c.request);
    EXPECT_EQ(answer.ok, c.ok) << c.request;
    EXPECT_EQ(answer.body.substr(0, c.answer.size()), c.answer) << c.request;
    EXPECT_EQ(dialogs.shown.empty() ? "" : dialogs.shown[0], c.shown) << c.request;
  }
}

TEST(BrowserShell, FileTypesOfTheDialog) {
  FileDialogRequest open;
  open.filters = {{"Calcora", {"clcx"}}, {"Excel", {".xlsx", "XLS"}}, {"Все файлы", {}}, {"Странный", {"*;x"}}};
  const FileDialogSetup setup = file_dialog_setup(open);
  EXPECT_EQ(setup.title, "Открыть файл");
  EXPECT_EQ(setup.file_name, "");  // an open dialog proposes no name
  EXPECT_EQ(setup.default_extension, "clcx");
  ASSERT_EQ(setup.file_types.size(), 4u);
  EXPECT_EQ(setup.file_types[0].patterns, "*.clcx");
  EXPECT_EQ(setup.file_types[1].patterns, "*.xlsx;*.XLS");
  EXPECT_EQ(setup.file_types[2].patterns, "*.*");
  EXPECT_EQ(setup.file_types[3].patterns, "*.x");
}

TEST(BrowserShell, FindsEdgeFirstThenChromeByRegistrationThenByInstallFolder) {
  const fs::path edge_registered = "C:/Edge/msedge.exe";
  const fs::path edge_installed = fs::path("C:/Program Files (x86)") / "Microsoft/Edge/Application/msedge.exe";
  const fs::path chrome_installed = fs::path("C:/Users/u/AppData/Local") / "Google/Chrome/Application/chrome.exe";
  struct Case {
    std::set<fs::path> present;
    bool registered;
    std::optional<fs::path> chosen;
    std::optional<fs::path> expected;
  };
  const Case cases[] = {
      {{edge_registered, edge_installed, chrome_installed}, true, {}, edge_registered},
      {{edge_installed, chrome_installed}, true, {}, edge_installed},  // registered, but gone
      {{chrome_installed}, false, {}, chrome_installed},
      {{}, true, {}, std::nullopt},
      {{edge_registered}, true, fs::path("Z:/stand-in.exe"), fs::path("Z:/stand-in.exe")},
  };
  for (const Case& c : cases) {
    BrowserSearch search;
    search.chosen = c.chosen;
    search.registered = [&](const std::string& exe) -> std::optional<fs::path> {
      if (c.registered && exe == "msedge.exe") return edge_registered;
      return std::nullopt;
    };
    search.install_roots = {"C:/Program Files (x86)", "C:/Program Files", "C:/Users/u/AppData/Local"};
    search.exists = [&](const fs::path& p) { return c.present.count(fs::path(p).generic_string()) > 0; };
    const auto found = find_browser(search);
    ASSERT_EQ(found.has_value(), c.expected.has_value());
    if (found) {
      EXPECT_EQ(found->generic_string(), c.expected->generic_string());
    }
  }
}

TEST(BrowserShell, AddressAndArgumentsOfTheApplicationWindow) {
  EXPECT_EQ(page_address(41234, "k1"), "http://127.0.0.1:41234/#key=k1&shell=app");
  const auto args = browser_arguments(page_address(1, "k"), utf8_path("C:/Пётр/AppData/com.calcora.desktop/browser"));
  ASSERT_GE(args.size(), 2u);
  EXPECT_EQ(args[0], "--app=http://127.0.0.1:1/#key=k&shell=app");
  EXPECT_EQ(args[1], "--user-data-dir=C:/Пётр/AppData/com.calcora.desktop/browser");
}

TEST(BrowserShell, CommandLineQuotesArgumentsAsWindowsProgramsSplitThem) {
  const auto line = windows_command_line("C:\\Program Files\\Edge\\msedge.exe",
                                         {"--app=http://x/#key=k&shell=app", "--user-data-dir=C:\\A B\\", "a\"b", ""});
  const std::wstring expected =
      L"\"C:\\Program Files\\Edge\\msedge.exe\" --app=http://x/#key=k&shell=app \"--user-data-dir=C:\\A B\\\\\" "
      L"\"a\\\"b\" \"\"";
  EXPECT_TRUE(line == expected);
}

TEST(BrowserShell, RemembersThePortOfTheLastRun) {
  test::TempDir dir;
  const fs::path profile = dir.path() / "browser";
  EXPECT_FALSE(remembered_port(profile));
  remember_port(profile, 41234);
  EXPECT_EQ(remembered_port(profile), 41234);
  std::ofstream(profile / "calcora-port", std::ios::trunc) << "garbage";
  EXPECT_FALSE(remembered_port(profile));
}

}  // namespace
}  // namespace calcora::browser_shell
