// Files named the way users name them (Russian letters, spaces, №, folders nested past the old
// 260-character limit of Windows) are written, read, backed up and restored on every platform.
#include <gtest/gtest.h>

#include <filesystem>
#include <set>

#include "commands/dispatcher.h"
#include "common/errors.h"
#include "common/file_io.h"
#include "common/utf8_path.h"
#include "test_support.h"

namespace calcora {
namespace {

namespace fs = std::filesystem;

std::set<std::string> names_in(const fs::path& dir) {
  std::set<std::string> names;
  for (const auto& entry : fs::directory_iterator(dir)) names.insert(path_utf8(entry.path().filename()));
  return names;
}

TEST(FilePaths, RussianNamesSpacesAndLongPaths) {
  test::TempDir root;
  fs::path long_dir = root.path();
  while (path_utf8(long_dir).size() < 300) long_dir /= utf8_path("Папка смет с длинным именем");
  const struct {
    const char* label;
    fs::path dir;
  } cases[] = {
      {"Russian letters and spaces", root.path() / utf8_path("Пётр") / utf8_path("Мои сметы")},
      {"past 260 characters", long_dir},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.label);
    const fs::path db_path = c.dir / "calcora.db";
    AppState state{db_path, Database::open(db_path)};  // creates the folders too
    Dispatcher dispatcher{state};
    auto call = [&](std::string_view command, const Json& args) {
      auto outcome = dispatcher.dispatch(command, args);
      EXPECT_TRUE(outcome.ok) << command << ": " << outcome.body;
      return outcome.ok ? Json::parse(outcome.body) : Json();
    };
    auto in_dir = [&](const char* name) { return path_utf8(c.dir / utf8_path(name)); };

    Json payload = call("create_estimate", {{"objectName", "Дом в Лесном"}});
    const Json id = payload["estimate"]["id"];
    payload["lines"] = Json::array({{{"line_type", "full"}, {"name", "Кладка"}, {"quantity", 2}, {"unit_price", 100},
                                     {"sort_order", 0}, {"estimate_id", id}}});
    call("save_estimate", {{"payload", payload}});

    call("export_estimate_xlsx", {{"id", id}, {"path", in_dir("смета №1.xlsx")}});
    call("export_estimate_csv", {{"id", id}, {"path", in_dir("смета №1.csv")}});
    call("export_estimate_pdf", {{"id", id}, {"path", in_dir("смета №1.pdf")}, {"printFont", nullptr}});
    call("export_estimate_clcx", {{"id", id}, {"path", in_dir("смета №1.clcx")}});
    call("write_utf8", {{"path", in_dir("предложение.html")}, {"text", "первый"}});
    call("write_utf8", {{"path", in_dir("предложение.html")}, {"text", "<p>Коммерческое предложение</p>"}});
    EXPECT_EQ(read_whole_file(c.dir / utf8_path("предложение.html")), "<p>Коммерческое предложение</p>");
    EXPECT_NE(read_whole_file(c.dir / utf8_path("смета №1.csv")).find("Кладка"), std::string::npos);
    EXPECT_EQ(read_whole_file(c.dir / utf8_path("смета №1.pdf")).substr(0, 5), "%PDF-");

    EXPECT_EQ(call("import_estimate_clcx", {{"path", in_dir("смета №1.clcx")}})["lines"][0]["name"], "Кладка");
    EXPECT_TRUE(call("import_estimate_xlsx", {{"path", in_dir("смета №1.xlsx")}}).is_number_integer());

    call("export_all_data", {{"path", in_dir("копия базы.db")}});
    call("delete_estimate", {{"id", id}});
    call("import_all_data", {{"path", in_dir("копия базы.db")}});
    EXPECT_EQ(call("get_estimate", {{"id", id}})["estimate"]["object_name"], "Дом в Лесном");

    // Every write replaced its file whole: no temporary file is left beside them.
    EXPECT_EQ(names_in(c.dir), (std::set<std::string>{"calcora.db", "копия базы.db", "предложение.html",
                                                      "смета №1.clcx", "смета №1.csv", "смета №1.pdf",
                                                      "смета №1.xlsx"}));
  }
}

TEST(FilePaths, WritesThatCannotHappenFailAndChangeNothing) {
  test::TempDir root;
  const fs::path folder = root.path() / utf8_path("Мои сметы");
  fs::create_directories(folder);
  // A folder where the file should go, and a folder that does not exist.
  for (const fs::path& target : {folder, root.path() / utf8_path("Нет такой/файл.csv")}) {
    SCOPED_TRACE(path_utf8(target));
    EXPECT_THROW(write_file_atomically(target, "данные"), CommandError);
  }
  EXPECT_TRUE(fs::is_directory(folder));
  EXPECT_TRUE(fs::is_empty(folder));
  EXPECT_FALSE(fs::exists(root.path() / utf8_path("Нет такой")));
  EXPECT_THROW(read_whole_file(root.path() / utf8_path("нет файла.clcx")), CommandError);
}

// A read-only folder or file may refuse the write (an ordinary user on either system; Windows
// refuses to replace a read-only file) or take it (the administrator; Windows ignores the flag on
// folders): either way the result is whole. The write fails with the system's text and leaves the
// old file as it was, or the file holds the new content; no temporary file is left behind.
TEST(FilePaths, ReadOnlyTargetsGetAWholeFileOrAClearRefusal) {
  constexpr auto kReadOnly = fs::perms::owner_read | fs::perms::owner_exec | fs::perms::group_read |
                             fs::perms::group_exec | fs::perms::others_read | fs::perms::others_exec;
  const struct {
    const char* label;
    bool folder_read_only;
    bool file_read_only;
  } cases[] = {
      {"read-only folder, new file", true, false},
      {"read-only folder, existing file", true, true},
      {"read-only file in a writable folder", false, true},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.label);
    test::TempDir root;
    const fs::path folder = root.path() / utf8_path("Только чтение");
    const fs::path target = folder / utf8_path("смета №1.csv");
    fs::create_directories(folder);
    const bool existed = c.file_read_only;
    if (existed) {
      write_file_atomically(target, "старое");
      fs::permissions(target, fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read);
    }
    if (c.folder_read_only) fs::permissions(folder, kReadOnly);

    std::string error;
    try {
      write_file_atomically(target, "новое содержимое");
    } catch (const CommandError& e) {
      error = e.what();
    }

    fs::permissions(folder, fs::perms::owner_all);
    if (error.empty()) {
      EXPECT_EQ(read_whole_file(target), "новое содержимое");
    } else {
      EXPECT_NE(error.find("(os error "), std::string::npos) << error;
      if (existed) EXPECT_EQ(read_whole_file(target), "старое");
      else EXPECT_FALSE(fs::exists(target));
    }
    std::set<std::string> expected;
    if (existed || error.empty()) expected.insert("смета №1.csv");
    EXPECT_EQ(names_in(folder), expected) << (error.empty() ? "written" : error);
    if (fs::exists(target)) fs::permissions(target, fs::perms::owner_all);
  }
}

}  // namespace
}  // namespace calcora
