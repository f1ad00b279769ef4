// Environment variables set or cleared for one test and put back afterwards.
#pragma once

#include <cstdlib>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "test_platform.h"

namespace calcora::test {

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
    if (value) set_env(name, value->c_str());
    else unset_env(name);
  }
  std::vector<std::pair<std::string, std::optional<std::string>>> saved_;
};

}  // namespace calcora::test
