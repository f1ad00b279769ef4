// Shared by the benchmark programs: interleaved timing and the report rows that
// bench/run.sh gathers into one table.
#pragma once

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <functional>
#include <random>
#include <string>
#include <vector>

namespace calcora::bench {

// A folder of its own under the system's temporary directory, removed with its content at the end.
class ScratchDir {
 public:
  explicit ScratchDir(const std::string& name)
      : path_(std::filesystem::temp_directory_path() / (name + "-" + std::to_string(std::random_device()()))) {
    std::filesystem::create_directories(path_);
  }
  ~ScratchDir() {
    std::error_code ec;
    std::filesystem::remove_all(path_, ec);
  }
  const std::filesystem::path& path() const { return path_; }

 private:
  std::filesystem::path path_;
};

// Runs the contenders in turn, round after round, so that the machine's changing load falls on
// all of them alike; gives each one's median in milliseconds. One warm-up run each first
// (statement cache, page cache, font cache).
inline std::vector<double> interleaved_medians(int rounds, const std::vector<std::function<void()>>& contenders) {
  std::vector<std::vector<double>> times(contenders.size());
  for (const auto& work : contenders) work();
  for (int r = 0; r < rounds; ++r) {
    for (size_t i = 0; i < contenders.size(); ++i) {
      auto start = std::chrono::steady_clock::now();
      contenders[i]();
      times[i].push_back(std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count());
    }
  }
  std::vector<double> medians;
  for (auto& t : times) {
    std::sort(t.begin(), t.end());
    medians.push_back(t[t.size() / 2]);
  }
  return medians;
}

// One row of the performance report: "ROW<TAB>operation<TAB>size<TAB>median<TAB>floor"; the
// floor is what the same work costs at the bare minimum, measured in the same run.
inline void report_row(const std::string& operation, const std::string& size, double median_ms, double floor_ms) {
  std::printf("ROW\t%s\t%s\t%.3f\t%.3f\n", operation.c_str(), size.c_str(), median_ms, floor_ms);
}

}  // namespace calcora::bench
