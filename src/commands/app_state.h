// The state shared by every command: the database path and the one connection behind
// a lock. A command that dies of a programming fault while holding the lock leaves the
// connection in an unknown state, so the lock then refuses every later command.
#pragma once

#include <filesystem>
#include <memory>
#include <mutex>
#include <utility>

#include "common/errors.h"
#include "store/database.h"

namespace calcora {

inline constexpr const char* kPoisonedLockMessage = "poisoned lock: another task failed inside";

class AppState {
 public:
  AppState(std::filesystem::path db_path, std::unique_ptr<Database> db, std::filesystem::path examples_dir = {})
      : db_path_(std::move(db_path)), examples_dir_(std::move(examples_dir)), db_(std::move(db)) {}

  const std::filesystem::path& db_path() const { return db_path_; }
  const std::filesystem::path& examples_dir() const { return examples_dir_; }

  // Runs `work` with the connection locked. CommandError (bad input, database refusal)
  // passes through and leaves the lock usable; any other exception poisons it.
  template <typename F>
  decltype(auto) with_db(F&& work) {
    std::lock_guard lock(mutex_);
    if (poisoned_) throw CommandError(kPoisonedLockMessage);
    try {
      return std::forward<F>(work)(*db_);
    } catch (const CommandError&) {
      throw;
    } catch (...) {
      poisoned_ = true;
      throw;
    }
  }

  // Swaps in another connection (the restore of a backup); the caller holds no lock.
  std::unique_ptr<Database> replace_db(std::unique_ptr<Database> db) {
    std::lock_guard lock(mutex_);
    std::swap(db_, db);
    return db;
  }

 private:
  std::filesystem::path db_path_;
  std::filesystem::path examples_dir_;
  std::mutex mutex_;
  bool poisoned_ = false;
  std::unique_ptr<Database> db_;
};

}  // namespace calcora
