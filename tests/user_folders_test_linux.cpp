// The user's folders on Linux: the data folder under $XDG_DATA_HOME, else ~/.local/share; save
// dialogs start in ~/Documents when it exists, else in the home folder.
#include <gtest/gtest.h>

#include <filesystem>

#include "app/paths.h"
#include "command_fixture.h"
#include "scoped_env.h"

namespace calcora {
namespace {

using UserFoldersTest = test::CommandTest;

TEST_F(UserFoldersTest, DataFolderFollowsXdgThenHome) {
  test::ScopedEnv env;
  env.set("XDG_DATA_HOME", (dir / "xdg").string());
  EXPECT_EQ(app_data_dir(), dir / "xdg" / "com.calcora.desktop");
  env.set("XDG_DATA_HOME", std::nullopt);
  env.set("HOME", (dir / "home").string());
  EXPECT_EQ(app_data_dir(), dir / "home" / ".local" / "share" / "com.calcora.desktop");
  env.set("HOME", std::nullopt);
  EXPECT_EQ(app_data_dir(), std::nullopt);
}

TEST_F(UserFoldersTest, DocumentsElseHomeElseNothing) {
  test::ScopedEnv env;
  env.set("HOME", dir.path().string());
  EXPECT_EQ(Json::parse(dispatcher.dispatch("documents_folder", Json::object()).body), dir.path().string());
  std::filesystem::create_directory(dir / "Documents");
  EXPECT_EQ(Json::parse(dispatcher.dispatch("documents_folder", Json::object()).body), (dir / "Documents").string());
  env.set("HOME", std::nullopt);
  EXPECT_EQ(dispatcher.dispatch("documents_folder", Json::object()).body, "null");
}

}  // namespace
}  // namespace calcora
