// The command boundary: argument decoding messages, unknown commands, the lock rule,
// and the two system commands.
#include "commands/dispatcher.h"

#include <gtest/gtest.h>

#include "command_fixture.h"
#include "commands/decode.h"
#include "commands/system_commands.h"
#include "common/utf8_path.h"

namespace calcora {
namespace {

using DispatcherTest = test::CommandTest;

TEST_F(DispatcherTest, DecodingMessages) {
  struct Case {
    const char* command;
    const char* args;
    const char* error;
  };
  const Case cases[] = {
      {"write_utf8", R"({"text":"x"})", "command write_utf8 missing required key path"},
      {"write_utf8", R"({"path":5,"text":"x"})",
       "invalid args `path` for command `write_utf8`: invalid type: integer `5`, expected a string"},
      {"write_utf8", R"({"path":"/x","text":null})",
       "invalid args `text` for command `write_utf8`: invalid type: null, expected a string"},
      {"no_such_command", "{}", "unknown command `no_such_command`"},
      {"write_utf8", "[1,2]", "invalid args for command `write_utf8`: invalid type: sequence, expected a map"},
      // Numbers beyond a double's range are named with the argument they sit in.
      {"evaluate_formula_cmd", R"({"expr":"a","vars":{"b":1,"a":1e400}})",
       "invalid args `vars` for command `evaluate_formula_cmd`: invalid value: number `1e400` is out of range"},
      {"save_estimate", R"({"payload":{"lines":[{"quantity":-2E+999}]},"later":1})",
       "invalid args `payload` for command `save_estimate`: invalid value: number `-2E+999` is out of range"},
      {"write_utf8", "1e400", "invalid args for command `write_utf8`: invalid value: number `1e400` is out of range"},
  };
  for (const auto& c : cases) {
    auto outcome = dispatcher.dispatch_text(c.command, c.args);
    EXPECT_FALSE(outcome.ok) << c.args;
    EXPECT_EQ(outcome.body, c.error);
  }
  auto malformed = dispatcher.dispatch_text("write_utf8", "{\"path\":");
  EXPECT_FALSE(malformed.ok);
  EXPECT_EQ(malformed.body.rfind("invalid JSON arguments for command `write_utf8`: ", 0), 0u) << malformed.body;
}

TEST(Decode, ValueReasons) {
  EXPECT_EQ(decode_value<int64_t>(Json(7)), 7);
  EXPECT_EQ(decode_value<double>(Json(7)), 7.0);
  EXPECT_THROW(decode_value<int64_t>(Json(7.5)), DecodeError);
  EXPECT_THROW(decode_value<int64_t>(Json("5")), DecodeError);
  EXPECT_THROW(decode_value<int32_t>(Json(int64_t(1) << 40)), DecodeError);
  try {
    RecordReader(Json::object()).required<int32_t>("sort_order");
    FAIL();
  } catch (const DecodeError& e) {
    EXPECT_STREQ(e.what(), "missing field `sort_order`");
  }
  Json line = {{"unit", nullptr}, {"name_bold", true}};
  RecordReader r(line);
  EXPECT_EQ(r.optional<std::string>("unit"), std::nullopt);
  EXPECT_EQ(r.with_default("name_bold", false), true);
  EXPECT_EQ(r.with_default<std::string>("category", "work"), "work");
}

TEST_F(DispatcherTest, WriteUtf8WritesExactBytesAndReportsOsErrors) {
  const std::string text = "Смета\r\nline 2\n";
  auto path = (dir / "out.html").string();
  Json args = {{"path", path}, {"text", text}};
  auto ok = dispatcher.dispatch("write_utf8", args);
  ASSERT_TRUE(ok.ok) << ok.body;
  EXPECT_EQ(ok.body, "null");
  EXPECT_EQ(test::read_text(path), text);

  auto missing_dir = (dir / "no-such-folder" / "out.html").string();
  auto failed = dispatcher.dispatch("write_utf8", Json{{"path", missing_dir}, {"text", "x"}});
  EXPECT_FALSE(failed.ok);
  EXPECT_EQ(failed.body, test::missing_folder_error());
  EXPECT_FALSE(std::filesystem::exists(dir / "no-such-folder"));
}

TEST(OpenExternalUrl, OnlyOwnSiteOverHttps) {
  struct Case {
    const char* url;
    bool allowed;
  };
  const Case cases[] = {
      {"https://calcora.ru", true},
      {"https://www.calcora.ru/help?topic=1#x", true},
      {"https://calcora.ru:8443/path", true},
      {"http://calcora.ru", false},
      {"https://", false},
      {"https://Calcora.ru", false},
      {"https://evil.calcora.ru", false},
      {"https://calcora.ru.evil.com/", false},
      {"https://calcora.ru@evil.com/", false},
      {"file:///etc/passwd", false},
  };
  for (const auto& c : cases) EXPECT_EQ(is_own_site_url(c.url), c.allowed) << c.url;
}

TEST_F(DispatcherTest, ForeignUrlIsRefusedBeforeAnyBrowserStarts) {
  auto outcome = dispatcher.dispatch("open_external_url", Json{{"url", "http://calcora.ru"}});
  EXPECT_FALSE(outcome.ok);
  EXPECT_EQ(outcome.body, "можно открыть только сайт Calcora");
}

TEST_F(DispatcherTest, SaveFlowsAskWhetherAFileIsThereAndWhereDocumentsAre) {
  const std::string present = path_utf8(dir / "calcora.db");
  EXPECT_EQ(dispatcher.dispatch("file_exists", Json{{"path", present}}).body, "true");
  EXPECT_EQ(dispatcher.dispatch("file_exists", Json{{"path", path_utf8(dir.path() / utf8_path("Смета.xlsx"))}}).body,
            "false");
  EXPECT_EQ(dispatcher.dispatch("file_exists", Json{{"path", path_utf8(dir.path())}}).body, "true");

  // Where the documents are is the platform's to say (user_folders_test_linux.cpp has the
  // Linux rules); whatever it names is a folder that is there.
  const Json documents = Json::parse(dispatcher.dispatch("documents_folder", Json::object()).body);
  ASSERT_TRUE(documents.is_string()) << documents;
  EXPECT_TRUE(std::filesystem::is_directory(utf8_path(documents.get<std::string>()))) << documents;
}

TEST(AppStateLock, FaultInsideThePoisonsLockButCommandErrorsDoNot) {
  test::TempDir dir;
  AppState state(dir / "calcora.db", Database::open(dir / "calcora.db"));
  EXPECT_THROW(state.with_db([](Database&) -> int { throw DbError("FOREIGN KEY constraint failed"); }), DbError);
  EXPECT_EQ(state.with_db([](Database& db) { return db.user_version(); }), 11);
  EXPECT_THROW(state.with_db([](Database&) -> int { throw std::logic_error("bug"); }), std::logic_error);
  try {
    state.with_db([](Database&) { return 0; });
    FAIL() << "lock still usable after a fault";
  } catch (const CommandError& e) {
    EXPECT_STREQ(e.what(), "poisoned lock: another task failed inside");
  }
}

}  // namespace
}  // namespace calcora
