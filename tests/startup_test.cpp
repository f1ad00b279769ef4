// Paths, the start-up log and the start sequence's database failure.
#include <gtest/gtest.h>

#include <cstdlib>
#include <optional>
#include <regex>

#include "app/fault.h"
#include "app/paths.h"
#include "app/startup.h"
#include "test_support.h"

namespace calcora {
namespace {

// Sets or clears environment variables for one test and puts them back afterwards.
class ScopedEnv {
 public:
  void set(const char* name, const std::optional<std::string>& value) {
    const char* old = std::getenv(name);
    saved_.emplace_back(name, old ? std::optional<std::string>(old) : std::nullopt);
    apply(name, value);
  }
  ~ScopedEnv() {
    for (auto it = saved_.rbegin(); it != saved_.rend(); ++it) apply(it->first.c_str(), it->second);
  }

 private:
  static void apply(const char* name, const std::optional<std::string>& value) {
    if (value) test::set_env(name, value->c_str());
    else test::unset_env(name);
  }
  std::vector<std::pair<std::string, std::optional<std::string>>> saved_;
};

TEST(Paths, DataDirAndStartupLogFollowTheEnvironment) {
  test::TempDir dir;
  ScopedEnv env;
  env.set("XDG_DATA_HOME", (dir / "xdg").string());
  EXPECT_EQ(app_data_dir(), dir / "xdg" / "com.calcora.desktop");
  env.set("XDG_DATA_HOME", std::nullopt);
  env.set("HOME", (dir / "home").string());
  EXPECT_EQ(app_data_dir(), dir / "home" / ".local" / "share" / "com.calcora.desktop");
  env.set("HOME", std::nullopt);
  EXPECT_EQ(app_data_dir(), std::nullopt);

  env.set("LOCALAPPDATA", (dir / "local").string());
  env.set("TEMP", (dir / "temp").string());
  EXPECT_EQ(startup_log_path(), dir / "local" / "com.calcora.desktop" / "startup.log");
  env.set("LOCALAPPDATA", std::nullopt);
  EXPECT_EQ(startup_log_path(), dir / "temp" / "com.calcora.desktop" / "startup.log");

  append_startup_log("Не удалось запустить Calcora: проверка");
  const std::string log = test::read_text(dir / "temp" / "com.calcora.desktop" / "startup.log");
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
