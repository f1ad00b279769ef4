// The core's lower layers include nothing from the layers above them: the data store knows
// no file format and no shell, so it can be tested and reused without them.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <set>
#include <string>
#include <vector>

namespace {

// The first folder of every project include ("store/x.h" gives "store") in the files under `folder`.
std::vector<std::pair<std::string, std::string>> project_includes(const std::filesystem::path& folder) {
  std::vector<std::pair<std::string, std::string>> found;  // file, included folder
  for (const auto& entry : std::filesystem::recursive_directory_iterator(folder)) {
    if (!entry.is_regular_file()) continue;
    std::ifstream in(entry.path());
    std::string line;
    while (std::getline(in, line)) {
      const std::string prefix = "#include \"";
      if (line.rfind(prefix, 0) != 0) continue;
      const auto slash = line.find('/', prefix.size());
      if (slash == std::string::npos) continue;
      found.emplace_back(entry.path().filename().string(), line.substr(prefix.size(), slash - prefix.size()));
    }
  }
  return found;
}

TEST(Layers, LowerLayersIncludeOnlyWhatLiesBelowThem) {
  struct Rule {
    const char* layer;
    std::set<std::string> allowed;
  };
  // The store's command files register with the dispatcher and its records decode from command
  // arguments, so `commands` (the dispatcher and its JSON decoding) is below the store too.
  const Rule rules[] = {
      {"common", {"common"}},
      {"store", {"store", "common", "calc", "commands"}},
  };
  const std::filesystem::path src = std::filesystem::path(CALCORA_SOURCE_DIR) / "src";
  for (const auto& rule : rules) {
    const auto includes = project_includes(src / rule.layer);
    EXPECT_FALSE(includes.empty()) << rule.layer;
    for (const auto& [file, folder] : includes)
      EXPECT_TRUE(rule.allowed.count(folder)) << rule.layer << "/" << file << " includes from " << folder << "/";
  }
}

}  // namespace
