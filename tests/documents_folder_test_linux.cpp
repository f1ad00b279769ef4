// On Linux the save dialogs start in ~/Documents when it exists, else in the home folder.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>

#include "command_fixture.h"

namespace calcora {
namespace {

using DocumentsFolderTest = test::CommandTest;

TEST_F(DocumentsFolderTest, HomeDocumentsElseHomeElseNothing) {
  const char* home = std::getenv("HOME");
  const std::string saved = home ? home : "";
  setenv("HOME", dir.path().c_str(), 1);
  EXPECT_EQ(Json::parse(dispatcher.dispatch("documents_folder", Json::object()).body), dir.path().string());
  std::filesystem::create_directory(dir / "Documents");
  EXPECT_EQ(Json::parse(dispatcher.dispatch("documents_folder", Json::object()).body), (dir / "Documents").string());
  unsetenv("HOME");
  EXPECT_EQ(dispatcher.dispatch("documents_folder", Json::object()).body, "null");
  if (home) setenv("HOME", saved.c_str(), 1);
}

}  // namespace
}  // namespace calcora
