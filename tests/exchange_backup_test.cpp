// The full backup: a copy that the sqlite3 shell accepts, a restore that brings everything back,
// and refusals and failures that keep the live database working.
#include <gtest/gtest.h>

#include <fstream>

#include "exchange_support.h"
#include "pdf_test_support.h"
#include "store/migrations.h"

namespace calcora {
namespace {

std::string shell(const std::string& command) {
  std::string out;
  if (FILE* p = test::open_command_pipe(command)) {
    char buf[256];
    while (fgets(buf, sizeof buf, p)) out += buf;
    test::close_command_pipe(p);
  }
  return out;
}

TEST(Backup, ExportThenRestoreBringsEverythingBack) {
  test::AppFixture app;
  Json saved = app.make_estimate("Дом", Json::array({{{"line_type", "fixed"}, {"name", "Вывоз"}, {"fixed_total", 5}}}));
  app.state.with_db(
      [](Database& db) { db.exec("INSERT INTO catalog_items (name, category) VALUES ('Бетон', 'material')"); });
  const auto backup = app.dir / "calcora-backup-2026-12-10.db";
  app.call("export_all_data", {{"path", backup.string()}});
  if (test::have_tool("sqlite3")) {  // the sqlite3 shell is a Linux program here
    EXPECT_EQ(shell("sqlite3 '" + backup.string() + "' 'PRAGMA integrity_check'"), "ok\n");
  }

  // A second export to the same name is refused by the database and leaves the file alone.
  const std::string before = test::read_text(backup);
  EXPECT_NE(app.fail("export_all_data", {{"path", backup.string()}}).find("output file already exists"),
            std::string::npos);
  EXPECT_EQ(test::read_text(backup), before);

  app.call("delete_estimate", {{"id", saved["estimate"]["id"]}});
  app.call("create_estimate", {{"objectName", "Лишняя"}});
  app.call("import_all_data", {{"path", backup.string()}});
  Json list = app.call("list_estimates", Json::object());
  ASSERT_EQ(list.size(), 1u);
  EXPECT_EQ(list[0]["id"], saved["estimate"]["id"]);
  EXPECT_EQ(list[0]["created_at"], saved["estimate"]["created_at"]);
  EXPECT_EQ(list[0]["total"], 5);
  EXPECT_EQ(app.count("SELECT COUNT(*) FROM catalog_items WHERE name = 'Бетон'"), 1);
  EXPECT_FALSE(std::filesystem::exists(app.dir / "calcora.db.restore"));

  // Restoring the live file itself is no change.
  app.call("import_all_data", {{"path", (app.dir / "calcora.db").string()}});
  EXPECT_EQ(app.call("list_estimates", Json::object()).size(), 1u);
}

// Once the user agreed to replace a file, the copy takes its place whole; a folder of that name
// is not replaced; no staged copy is left behind either way.
TEST(Backup, AnAgreedReplaceWritesOverTheOldCopy) {
  test::AppFixture app;
  app.call("create_estimate", {{"objectName", "Дом"}});
  const auto backup = app.dir / "calcora-backup.db";
  app.call("export_all_data", {{"path", backup.string()}});
  app.call("create_estimate", {{"objectName", "Баня"}});
  app.call("export_all_data", {{"path", backup.string()}, {"replace", true}});
  {
    auto copy = Database::open(backup);  // read by the program itself: there is no sqlite3 shell on Windows
    auto st = copy->prepare("SELECT COUNT(*) FROM estimates");
    ASSERT_TRUE(st.step());
    EXPECT_EQ(st.int64(0), 2);
  }

  const auto folder = app.dir / "folder.db";
  std::filesystem::create_directory(folder);
  EXPECT_FALSE(app.fail("export_all_data", {{"path", folder.string()}, {"replace", true}}).empty());
  EXPECT_TRUE(std::filesystem::is_directory(folder));
  for (const auto& entry : std::filesystem::directory_iterator(app.dir.path()))
    EXPECT_EQ(entry.path().string().find(".partial-"), std::string::npos) << entry.path();
}

TEST(Backup, OlderAndForeignFilesAreBroughtToTheCurrentSchema) {
  const std::string foreign = "CREATE TABLE estimates (id INTEGER PRIMARY KEY, note TEXT)";
  for (const std::string& source : {std::string("v4"), foreign}) {
    test::AppFixture app;
    const auto file = app.dir / "old.db";
    if (source == "v4")
      test::build_fixture_db(file, "v4");
    else
      Database::open_raw(file)->exec(source);
    app.call("import_all_data", {{"path", file.string()}});
    EXPECT_EQ(app.state.with_db([](Database& db) { return db.user_version(); }), kSchemaVersion) << source;
    EXPECT_EQ(app.count("SELECT COUNT(*) FROM sqlite_master WHERE name IN ('catalog_items', 'estimate_footers')"), 2);
  }
}

TEST(Backup, RefusalsAndFailuresKeepTheLiveDatabase) {
  test::AppFixture app;
  app.call("create_estimate", {{"objectName", "Живая"}});
  std::ofstream(app.dir / "notes.db") << "это просто текст, а не база\n";
  std::ofstream(app.dir / "empty.db");
  Database::open_raw(app.dir / "other.db")->exec("CREATE TABLE things (x)");
  struct Case {
    std::string file;
    std::string error;
  };
  const Case cases[] = {
      {"notes.db", "это не резервная копия Calcora"},
      {"empty.db", "это не резервная копия Calcora"},
      {"other.db", "это не резервная копия Calcora"},
      {"missing.db", "не открыть копию: unable to open database file"},
  };
  for (const auto& c : cases) {
    // The check the page asks before its question says the same as the restore itself.
    EXPECT_EQ(app.fail("check_backup_file", {{"path", (app.dir / c.file).string()}}), c.error);
    EXPECT_EQ(app.fail("import_all_data", {{"path", (app.dir / c.file).string()}}), c.error);
  }
  EXPECT_FALSE(std::filesystem::exists(app.dir / "missing.db"));

  // The copy cannot be staged beside the live file: the live database goes on working.
  const auto backup = app.dir / "good.db";
  app.call("export_all_data", {{"path", backup.string()}});
  EXPECT_TRUE(app.call("check_backup_file", {{"path", backup.string()}}).is_null());
  std::filesystem::create_directories(app.dir / "calcora.db.restore" / "blocker");
  EXPECT_EQ(app.fail("import_all_data", {{"path", backup.string()}}),
            "не скопировать базу: " + test::is_directory_error());
  EXPECT_EQ(app.call("list_estimates", Json::object()).size(), 1u);
  app.call("create_estimate", {{"objectName", "Ещё одна"}});
  EXPECT_EQ(app.count("SELECT COUNT(*) FROM estimates"), 2);
}

}  // namespace
}  // namespace calcora
