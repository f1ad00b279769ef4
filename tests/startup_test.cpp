// Paths, the start-up log and the start sequence's database failure.
#include <gtest/gtest.h>

#include <cstdlib>
#include <optional>
#include <regex>

#include "app/fault.h"
#include "app/paths.h"
#include "app/startup.h"
#include "common/utf8_path.h"
#include "scoped_env.h"
#include "test_support.h"

namespace calcora {
namespace {

// The data folder is each platform's own (user_folders_test_linux.cpp, _windows.cpp); the
// start-up log follows LOCALAPPDATA, then TEMP, on both, also under a user folder named in Russian.
TEST(Paths, StartupLogFollowsLocalAppDataThenTemp) {
  test::TempDir dir;
  const std::filesystem::path user = dir.path() / utf8_path("Пётр");
  test::ScopedEnv env;
  env.set("LOCALAPPDATA", path_utf8(user / "local"));
  env.set("TEMP", path_utf8(user / "temp"));
  EXPECT_EQ(startup_log_path(), user / "local" / "com.calcora.desktop" / "startup.log");
  env.set("LOCALAPPDATA", std::nullopt);
  EXPECT_EQ(startup_log_path(), user / "temp" / "com.calcora.desktop" / "startup.log");

  append_startup_log("Не удалось запустить Calcora: проверка");
  const std::string log = test::read_text(user / "temp" / "com.calcora.desktop" / "startup.log");
  EXPECT_TRUE(std::regex_match(log, std::regex(R"(\d{4}-\d\d-\d\d \d\d:\d\d:\d\d Не удалось запустить Calcora: проверка\n)")))
      << log;

  env.set("TEMP", std::nullopt);
  EXPECT_EQ(startup_log_path(), std::nullopt);
  append_startup_log("nowhere to go");  // no folder is created anywhere
}

TEST(Startup, FirstStartCreatesTheDatabase) {
  test::TempDir dir;
  auto state = set_up_app_state(dir / "fresh" / "com.calcora.desktop");
  EXPECT_TRUE(std::filesystem::exists(dir / "fresh" / "com.calcora.desktop" / "calcora.db"));
  EXPECT_EQ(state->with_db([](Database& db) { return db.user_version(); }), 11);
}

TEST(Startup, UnusableDatabaseIsAFaultNamingTheDatabase) {
  test::TempDir dir;
  std::filesystem::create_directories(dir / "calcora.db");
  try {
    set_up_app_state(dir.path());
    FAIL() << "a folder in place of the database was accepted";
  } catch (const Fault& fault) {
    EXPECT_EQ(std::string(fault.what()).rfind("база данных: ", 0), 0u) << fault.what();
    EXPECT_EQ(panic_message(fault.where().file, fault.where().line, fault.where().column, fault.what())
                  .find("panicked at "),
              0u);
  }
}

TEST(Fault, PanicMessageForm) {
  EXPECT_EQ(panic_message("src/app/startup.cpp", 12, 5, "база данных: unable to open database file"),
            "panicked at src/app/startup.cpp:12:5:\nбаза данных: unable to open database file");
  EXPECT_EQ(panic_message("a.cpp", 1, 2, ""), "panicked at a.cpp:1:2");
}

}  // namespace
}  // namespace calcora
