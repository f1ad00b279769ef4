// Requests per key (a ticket, an address) within the current minute, kept in memory: each
// instance counts its own, which is enough to keep one client from flooding it.
#pragma once

#include <chrono>
#include <mutex>
#include <string>
#include <unordered_map>

namespace calcora::link {

class RateLimiter {
 public:
  // `per_minute` 0: no limit.
  explicit RateLimiter(unsigned per_minute) : per_minute_(per_minute) {}

  // Counts the request; false when the key has used up its minute.
  bool allow(const std::string& key) {
    if (per_minute_ == 0) return true;
    auto minute = std::chrono::duration_cast<std::chrono::minutes>(std::chrono::steady_clock::now().time_since_epoch());
    std::lock_guard lock(mutex_);
    if (minute != minute_) {
      counts_.clear();  // a new minute: forget the old one, so the table never grows for long
      minute_ = minute;
    }
    return ++counts_[key] <= per_minute_;
  }

 private:
  unsigned per_minute_;
  std::mutex mutex_;
  std::chrono::minutes minute_{0};
  std::unordered_map<std::string, unsigned> counts_;
};

}  // namespace calcora::link
