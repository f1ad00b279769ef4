// The loopback host killed with SIGKILL in the middle of saving, again and again: the
// database must stay sound and hold exactly one of the versions that were sent, whole.
#include <gtest/gtest.h>
#include <httplib.h>

#include <atomic>
#include <chrono>
#include <cstdlib>
#include <random>
#include <thread>

#include "commands/json.h"
#include "serve_process.h"
#include "store/database.h"
#include "test_support.h"

namespace calcora {
namespace {

constexpr int kLinesPerVersion = 300;
const char* kCrashKey = "crash-test-key";
std::mt19937 rng_(2024);

Json payload_for_version(int64_t estimate_id, int version) {
  Json lines = Json::array();
  for (int i = 0; i < kLinesPerVersion; ++i)
    lines.push_back({{"id", nullptr},
                     {"estimate_id", estimate_id},
                     {"sort_order", i},
                     {"line_type", "full"},
                     {"name", "версия " + std::to_string(version) + " строка " + std::to_string(i)},
                     {"quantity", version},
                     {"unit_price", 100.5}});
  return {{"payload",
           {{"estimate", {{"id", estimate_id}, {"object_name", "v" + std::to_string(version)},
                          {"created_at", ""}, {"updated_at", ""}}},
            {"lines", lines},
            {"footer", {{"estimate_id", estimate_id}, {"materials", 0}, {"delivery", 0}, {"advance", 0},
                        {"show_materials", false}, {"show_delivery", false}, {"show_advance", false}}}}}};
}

httplib::Result post(httplib::Client& client, const std::string& command, const Json& args) {
  return client.Post(("/api/invoke/" + command).c_str(), httplib::Headers{{"X-Calcora-Key", kCrashKey}}, args.dump(),
                     "application/json");
}

// What the file holds after a kill: the version every line and the header agree on, or -1 for a mix.
int stored_version(const std::filesystem::path& db_path, int64_t id, std::string& integrity) {
  auto db = Database::open_raw(db_path);
  auto check = db->prepare("PRAGMA integrity_check");
  check.step();
  integrity = check.text(0);
  auto header = db->prepare("SELECT object_name FROM estimates WHERE id = ?1");
  header.bind(1, id);
  if (!header.step()) return -1;
  const std::string name = header.text(0);
  const int version = name.empty() ? 0 : std::atoi(name.c_str() + 1);
  auto lines = db->prepare("SELECT COUNT(*), MIN(quantity), MAX(quantity) FROM estimate_lines WHERE estimate_id = ?1");
  lines.bind(1, id);
  lines.step();
  const int64_t count = lines.int64(0);
  if (version == 0) return count == 0 ? 0 : -1;
  if (count != kLinesPerVersion || lines.real(1) != version || lines.real(2) != version) return -1;
  return version;
}

TEST(CrashSafety, KilledWhileSavingLeavesOneWholeVersion) {
  const char* rounds_env = std::getenv("CALCORA_CRASH_ROUNDS");
  const int rounds = rounds_env ? std::atoi(rounds_env) : 50;
  test::TempDir dir;
  std::mt19937 rng(12345);
  int64_t id = 0;
  int next_version = 1;
  int last_seen = 0;
  int kills_mid_save = 0, newer_than_ack = 0;

  for (int round = 0; round < rounds; ++round) {
    test::ServeProcess host(dir.path(), kCrashKey);
    httplib::Client client("127.0.0.1", host.port());
    client.set_read_timeout(10, 0);
    if (id == 0) {
      auto res = post(client, "create_estimate", {{"objectName", ""}});
      ASSERT_TRUE(res && res->status == 200);
      id = Json::parse(res->body)["estimate"]["id"].get<int64_t>();
    }
    std::atomic<int> attempted{last_seen}, acknowledged{last_seen};
    std::atomic<bool> stop{false};
    std::thread saver([&] {
      while (!stop) {
        const int version = next_version++;
        attempted = version;
        auto res = post(client, "save_estimate", payload_for_version(id, version));
        if (!res) return;  // the host is gone
        if (res->status == 200) acknowledged = version;
      }
    });
    std::this_thread::sleep_for(std::chrono::milliseconds(std::uniform_int_distribution<int>(5, 250)(rng)));
    host.kill_hard();
    stop = true;
    saver.join();

    std::string integrity;
    const int version = stored_version(dir / "calcora.db", id, integrity);
    ASSERT_EQ(integrity, "ok") << "round " << round;
    ASSERT_GE(version, acknowledged.load()) << "round " << round << ": an acknowledged save was lost";
    ASSERT_LE(version, attempted.load()) << "round " << round << ": a mix of versions or a version never sent";
    if (attempted > acknowledged) ++kills_mid_save;
    if (version > acknowledged) ++newer_than_ack;
    last_seen = version;
  }
  std::printf("crash safety: %d rounds, %d kills during a save, %d found the in-flight save committed\n", rounds,
              kills_mid_save, newer_than_ack);
}

int64_t estimate_count(const std::filesystem::path& db_path, std::string& integrity) {
  auto db = Database::open_raw(db_path);
  auto check = db->prepare("PRAGMA integrity_check");
  check.step();
  integrity = check.text(0);
  auto count = db->prepare("SELECT COUNT(*) FROM estimates");
  count.step();
  return count.int64(0);
}

// A restore killed at any moment must leave a usable database: the old one or the backup's.
TEST(CrashSafety, KilledWhileRestoringLeavesOldOrBackupDatabase) {
  const char* rounds_env = std::getenv("CALCORA_CRASH_ROUNDS");
  const int rounds = rounds_env ? std::atoi(rounds_env) : 50;
  test::TempDir dir;
  const auto live_dir = dir / "live";
  const auto backup = dir / "backup.db";
  {
    // The backup: three estimates of a few hundred lines, so the copy takes a moment.
    test::TempDir source;
    test::ServeProcess host(source.path(), kCrashKey);
    httplib::Client client("127.0.0.1", host.port());
    for (int e = 0; e < 3; ++e) {
      auto res = post(client, "create_estimate", {{"objectName", "из копии"}});
      ASSERT_TRUE(res && res->status == 200);
      const int64_t id = Json::parse(res->body)["estimate"]["id"].get<int64_t>();
      ASSERT_EQ(post(client, "save_estimate", payload_for_version(id, 7))->status, 200);
    }
    ASSERT_EQ(post(client, "export_all_data", {{"path", backup.string()}})->status, 200);
  }
  int old_kept = 0, backup_taken = 0;
  for (int round = 0; round < rounds; ++round) {
    std::filesystem::remove_all(live_dir);
    {
      test::ServeProcess host(live_dir, kCrashKey);
      httplib::Client client("127.0.0.1", host.port());
      ASSERT_EQ(post(client, "create_estimate", {{"objectName", "старая"}})->status, 200);
      std::thread restorer([&] { post(client, "import_all_data", {{"path", backup.string()}}); });
      std::this_thread::sleep_for(std::chrono::microseconds(std::uniform_int_distribution<int>(0, 40000)(rng_)));
      host.kill_hard();
      restorer.join();
    }
    // The next start must find a usable database, and it is exactly one of the two.
    test::ServeProcess again(live_dir, kCrashKey);
    httplib::Client client("127.0.0.1", again.port());
    auto listed = post(client, "list_estimates", Json::object());
    ASSERT_TRUE(listed && listed->status == 200) << "round " << round;
    again.kill_hard();
    std::string integrity;
    const int64_t count = estimate_count(live_dir / "calcora.db", integrity);
    ASSERT_EQ(integrity, "ok") << "round " << round;
    ASSERT_TRUE(count == 1 || count == 3) << "round " << round << ": " << count << " estimates";
    (count == 1 ? old_kept : backup_taken)++;
  }
  std::printf("restore crash safety: %d rounds, old database kept %d times, backup in place %d times\n", rounds,
              old_kept, backup_taken);
}

}  // namespace
}  // namespace calcora
