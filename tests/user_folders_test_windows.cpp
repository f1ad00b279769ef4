// The user's folders on Windows: the data folder is the roaming application-data folder (the one
// APPDATA names) joined with the application identifier, whatever LOCALAPPDATA or a Linux-style
// HOME say; save dialogs start in the known Documents folder.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <string>

#include "app/paths.h"
#include "command_fixture.h"
#include "common/utf8_path.h"
#include "scoped_env.h"

namespace calcora {
namespace {

using UserFoldersTest = test::CommandTest;

TEST_F(UserFoldersTest, DataFolderIsTheRoamingOneWithTheApplicationIdentifier) {
  // Read in the wide form before the environment changes: a user folder may be named in Russian.
  const wchar_t* appdata = _wgetenv(L"APPDATA");
  ASSERT_NE(appdata, nullptr);
  const std::filesystem::path roaming(std::wstring{appdata});
  test::ScopedEnv env;
  env.set("XDG_DATA_HOME", path_utf8(dir / "xdg"));
  env.set("HOME", path_utf8(dir / "home"));
  EXPECT_EQ(app_data_dir(), roaming / "com.calcora.desktop");
}

TEST_F(UserFoldersTest, DocumentsIsTheKnownFolder) {
  const Json documents = Json::parse(dispatcher.dispatch("documents_folder", Json::object()).body);
  ASSERT_TRUE(documents.is_string()) << documents;
  const std::filesystem::path folder = utf8_path(documents.get<std::string>());
  EXPECT_TRUE(folder.is_absolute()) << documents;
  EXPECT_EQ(folder.filename(), "Documents");
}

}  // namespace
}  // namespace calcora
